// The application's resource root and identifier, with look-up of resources by
// name, extension and optional subfolder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace corvanta::platform {

class Bundle {
public:
    Bundle(std::filesystem::path resourceRoot, std::optional<std::string> bundleIdentifier);

    // `<exe dir>/resources` in the build tree, else `<exe dir>/../share/corvanta`.
    static Bundle forExecutable(const std::filesystem::path& executablePath,
                                std::optional<std::string> bundleIdentifier);

    const std::filesystem::path& resourceRoot() const { return root_; }
    const std::optional<std::string>& bundleIdentifier() const { return identifier_; }

    // `<root>[/<subdirectory>]/<name>.<extension>` when it is a regular file.
    std::optional<std::filesystem::path> url(std::string_view name, std::string_view extension,
                                             std::string_view subdirectory = {}) const;

private:
    std::filesystem::path root_;
    std::optional<std::string> identifier_;
};

}  // namespace corvanta::platform
