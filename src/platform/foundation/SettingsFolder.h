// Where this user's settings and caches live, by the XDG base-folder rules, and
// the identity of a folder however its path is spelled.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>

namespace corvanta::platform {

// `$XDG_CONFIG_HOME/corvanta`, or `<home>/.config/corvanta`. A relative or empty
// XDG_CONFIG_HOME is ignored, as the XDG rules ask. The one rule for the
// settings store and for the lock that keeps one instance per settings folder.
std::filesystem::path settingsFolder();
// `$XDG_CACHE_HOME`, or `<home>/.cache`, with the same rule for relative values.
std::filesystem::path cacheHome();
// $HOME when it is absolute, else the home folder of the password database.
std::filesystem::path homeFolder();

// A folder as the file system knows it: `/x`, `/x/` and a link to `/x` are one.
struct FolderIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FolderIdentity&) const = default;
};

// Creates the folder (and its parents) when missing; nothing when it cannot be
// created or is not a folder.
std::optional<FolderIdentity> folderIdentity(const std::filesystem::path& folder);

}  // namespace corvanta::platform
