// The XDG base folders and folder identities; see SettingsFolder.h.
#include "platform/foundation/SettingsFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace corvanta::platform {
namespace {

namespace fs = std::filesystem;

// An XDG variable counts only when it holds an absolute path.
std::optional<fs::path> absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || *value != '/')
        return std::nullopt;
    return fs::path(value);
}

}  // namespace

fs::path homeFolder() {
    if (auto home = absoluteVariable("HOME"))
        return *home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/";
}

fs::path settingsFolder() {
    const fs::path base = absoluteVariable("XDG_CONFIG_HOME").value_or(homeFolder() / ".config");
    return base / "corvanta";
}

fs::path cacheHome() {
    return absoluteVariable("XDG_CACHE_HOME").value_or(homeFolder() / ".cache");
}

std::optional<FolderIdentity> folderIdentity(const fs::path& folder) {
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return FolderIdentity{st.st_dev, st.st_ino};
}

}  // namespace corvanta::platform
