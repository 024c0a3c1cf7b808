// Helpers for the catalog tests: JSON builders for packs, and temporary
// bundles written to a private folder that is removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalog/CatalogLoading.h"
#include "platform/foundation/Bundle.h"

namespace corvanta::testing {

using Json = nlohmann::ordered_json;

inline Json item(const std::string& id, std::vector<std::string> keys, const std::string& zh,
                 const std::string& en, std::vector<std::string> tags = {}) {
    return Json{{"id", id}, {"keys", keys}, {"zh", zh}, {"en", en}, {"tags", tags}};
}

inline Json category(const std::string& id, std::vector<Json> items, const std::string& zh = "类别",
                     const std::string& en = "Category") {
    return Json{{"id", id}, {"zh", zh}, {"en", en}, {"items", items}};
}

inline Json pack(const std::string& id, std::vector<Json> categories,
                 const std::string& name = "App") {
    return Json{{"id", id},           {"name", name},
                {"vendor", "Vendor"}, {"accent", "#336699"},
                {"glyph", "A"},       {"categories", categories}};
}

// A pack with one category "main" holding one valid shortcut "s".
inline Json simplePack(const std::string& id, const std::string& name = "App") {
    return pack(id, {category("main", {item("s", {"⌘", "S"}, "保存", "Save")})}, name);
}

inline Json library(std::vector<Json> packs) {
    return Json{{"software", packs}};
}

class TempDir {
public:
    TempDir() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("corvanta-catalog-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A bundle whose resource root is a fresh temporary folder.
class TempBundle {
public:
    explicit TempBundle(std::optional<std::string> identifier = "app.corvanta.tests")
        : bundle_(dir_.path(), std::move(identifier)) {}

    void write(const std::string& resource, const std::string& bytes) {
        const auto folder = dir_.path() / detail::kCatalogSubdirectory;
        std::filesystem::create_directories(folder);
        std::ofstream(folder / (resource + ".json"), std::ios::binary) << bytes;
    }
    void write(const std::string& resource, const Json& document) {
        write(resource, document.dump());
    }

    // Every catalog file present with the given packs in the first one and
    // empty lists elsewhere.
    void writeAll(std::vector<Json> firstFilePacks) {
        for (const auto& resource : detail::kCatalogResources) {
            write(std::string(resource.name), library({}));
        }
        write("shortcuts-mac", library(std::move(firstFilePacks)));
    }

    const platform::Bundle& bundle() const { return bundle_; }

private:
    TempDir dir_;
    platform::Bundle bundle_;
};

}  // namespace corvanta::testing
