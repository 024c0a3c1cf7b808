// A temporary application bundle with a two-pack catalog, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/foundation/Bundle.h"

namespace corvanta::testing_support {

class TestBundle {
public:
    static constexpr const char* identifier = "org.corvanta.Tests";

    TestBundle() {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("corvanta-shell-test-" + std::to_string(random()));
        std::filesystem::create_directories(root_);
        write("catalog/shortcuts-mac.json", R"({"software": [
  {"id": "alpha", "name": "Alpha Pad", "vendor": "Tests", "accent": "#3366FF", "glyph": "A",
   "bundleIdentifiers": ["com.example.alpha"], "dataStatus": "curated",
   "categories": [{"id": "edit", "zh": "编辑", "en": "Editing", "items": [
     {"id": "undo", "keys": ["⌘", "Z"], "zh": "撤销", "en": "Undo", "tags": ["edit"]}]}]},
  {"id": "beta", "name": "Beta Board", "vendor": "Tests", "accent": "#22AA66", "glyph": "B",
   "bundleIdentifiers": ["com.example.beta", "BetaBoard"], "dataStatus": "curated",
   "categories": [{"id": "edit", "zh": "编辑", "en": "Editing", "items": [
     {"id": "copy", "keys": ["⌘", "C"], "zh": "拷贝", "en": "Copy", "tags": ["edit"]}]}]}
]})");
    }
    ~TestBundle() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TestBundle(const TestBundle&) = delete;
    TestBundle& operator=(const TestBundle&) = delete;

    void write(const std::filesystem::path& relative, const std::string& text) const {
        const auto path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }

    platform::Bundle bundle() const { return platform::Bundle(root_, std::string(identifier)); }
    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path root_;
};

}  // namespace corvanta::testing_support
