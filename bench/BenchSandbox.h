// A private settings folder and runtime folder for one launch of the app
// under measurement, removed with the object.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace corvanta::bench {

class Sandbox {
public:
    Sandbox() {
        std::random_device random;
        root_ =
            std::filesystem::temp_directory_path() / ("corvanta-bench-" + std::to_string(random()));
        std::filesystem::create_directories(root_ / "config" / "corvanta");
        std::filesystem::create_directories(root_ / "runtime");
        std::filesystem::permissions(root_ / "runtime", std::filesystem::perms::owner_all);
    }
    ~Sandbox() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;
    std::filesystem::path config() const { return root_ / "config"; }
    std::filesystem::path runtime() const { return root_ / "runtime"; }

private:
    std::filesystem::path root_;
};

}  // namespace corvanta::bench
