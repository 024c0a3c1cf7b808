// Resource look-up under the application's resource root.
#include "platform/foundation/Bundle.h"

#include <system_error>

namespace corvanta::platform {
namespace {

// A name or folder taken from data must not lead out of the resource root.
bool isSafeComponent(std::string_view part) {
    return !part.empty() && part != "." && part != ".." &&
           part.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

bool isSafeSubdirectory(std::string_view folder) {
    size_t start = 0;
    while (start <= folder.size()) {
        const size_t slash = std::min(folder.find('/', start), folder.size());
        const std::string_view part = folder.substr(start, slash - start);
        // Empty parts come from doubled or trailing slashes and are harmless.
        if (!part.empty() && !isSafeComponent(part))
            return false;
        start = slash + 1;
    }
    return folder.empty() || folder.front() != '/';
}

}  // namespace

Bundle::Bundle(std::filesystem::path resourceRoot, std::optional<std::string> bundleIdentifier)
    : root_(std::move(resourceRoot)), identifier_(std::move(bundleIdentifier)) {}

Bundle Bundle::forExecutable(const std::filesystem::path& executablePath,
                             std::optional<std::string> bundleIdentifier) {
    std::error_code ec;
    std::filesystem::path executable = std::filesystem::weakly_canonical(executablePath, ec);
    if (ec)
        executable = std::filesystem::absolute(executablePath, ec);
    if (ec)
        executable = executablePath;
    const std::filesystem::path directory = executable.parent_path();

    const std::filesystem::path buildTree = directory / "resources";
    if (std::filesystem::is_directory(buildTree, ec)) {
        return Bundle(buildTree, std::move(bundleIdentifier));
    }
    return Bundle((directory / ".." / "share" / "corvanta").lexically_normal(),
                  std::move(bundleIdentifier));
}

std::optional<std::filesystem::path> Bundle::url(std::string_view name, std::string_view extension,
                                                 std::string_view subdirectory) const {
    if (!isSafeComponent(name) || !isSafeSubdirectory(subdirectory))
        return std::nullopt;
    if (!extension.empty() && !isSafeComponent(extension))
        return std::nullopt;

    std::string file(name);
    if (!extension.empty()) {
        file += '.';
        file += extension;
    }
    std::filesystem::path path = root_;
    if (!subdirectory.empty())
        path /= std::filesystem::path(subdirectory).relative_path();
    path /= file;

    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    return path;
}

}  // namespace corvanta::platform
