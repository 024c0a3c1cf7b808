// Every window class measured from a real Linux application must still select
// that application's pack, so a catalog edit cannot drop one unnoticed.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "catalog/ShortcutStore.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"

namespace corvanta {
namespace {

struct MeasuredWindow {
    int line = 0;
    std::string package;
    std::string version;
    std::string instance;
    std::string windowClass;
    std::string packID;
};

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t')) fields.push_back(field);
    return fields;
}

// Reads the table the measuring script writes: "#" lines are notes, the first
// other line names the columns, and every later line is one application.
std::vector<MeasuredWindow> readMeasuredWindows(const std::string& path) {
    std::ifstream file(path);
    EXPECT_TRUE(file.is_open()) << path;
    std::vector<MeasuredWindow> rows;
    std::string line;
    bool headerSeen = false;
    for (int number = 1; std::getline(file, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        const auto fields = splitTabs(line);
        if (!headerSeen) {
            EXPECT_EQ(fields, (std::vector<std::string>{"package", "version", "instance", "class",
                                                        "pack"}));
            headerSeen = true;
            continue;
        }
        if (fields.size() != 5 || fields[3].empty() || fields[4].empty()) {
            ADD_FAILURE() << path << ":" << number << " is not a complete row: " << line;
            continue;
        }
        rows.push_back({number, fields[0], fields[1], fields[2], fields[3], fields[4]});
    }
    return rows;
}

TEST(LinuxWindowClasses, EveryMeasuredClassSelectsItsPack) {
    const auto rows = readMeasuredWindows(CORVANTA_TEST_DATA "/linux-window-classes.tsv");
    // The browsers and most of the professional tools; fewer means a lost table.
    EXPECT_GE(rows.size(), 10u);

    const platform::Bundle bundle(CORVANTA_SOURCE_RESOURCES, std::string("org.corvanta.tests"));
    platform::MemoryUserDefaults defaults;
    ShortcutStore store(bundle, defaults);
    ASSERT_TRUE(store.dataWarnings.get().empty());
    store.isExpanded.set(false);

    for (const auto& row : rows) {
        SCOPED_TRACE(row.package + " " + row.version + " (line " + std::to_string(row.line) + ")");
        ASSERT_TRUE(store.softwareByID().contains(row.packID)) << row.packID;
        // Start from another pack so that a match shows as a change of selection.
        const std::string other = store.software.get().front().id == row.packID
                                      ? store.software.get().back().id
                                      : store.software.get().front().id;
        store.selectSoftware(other);
        EXPECT_TRUE(store.selectSoftwareMatchingBundleIdentifier(row.windowClass))
            << row.windowClass;
        EXPECT_EQ(store.selectedSoftwareID.get(), row.packID) << row.windowClass;
    }
}

}  // namespace
}  // namespace corvanta
