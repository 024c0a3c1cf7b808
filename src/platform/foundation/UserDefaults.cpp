// Typed settings domains: the typed reads, an in-memory store, and the JSON file
// store that replaces its file atomically and never overwrites a file it cannot read.
#include "platform/foundation/UserDefaults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include "platform/foundation/GuardedFile.h"
#include "platform/foundation/SettingsDocument.h"
#include "platform/foundation/SettingsFolder.h"
#include "platform/foundation/SystemError.h"

namespace corvanta::platform {
namespace {

namespace fs = std::filesystem;

// Takes the value over: a list of many favourites is copied once, not twice.
template <class T>
std::optional<T> as(std::optional<DefaultsValue> value) {
    if (value) {
        if (T* v = std::get_if<T>(&*value))
            return std::move(*v);
    }
    return std::nullopt;
}

// ---- files ------------------------------------------------------------------

std::string utcTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%dT%H%M%SZ", &tm);
    return buffer;
}

bool pathExists(const fs::path& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

bool isSymlink(const fs::path& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool isRegularFile(const fs::path& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The file a chain of symbolic links finally names (the path itself when it is
// no link), so that a linked settings file is replaced where it lives and the
// link stays. Nothing for a loop or an unreadable link.
std::optional<fs::path> resolveLinks(const fs::path& path) {
    fs::path current = path;
    for (int hops = 0; hops < 40; ++hops) {
        if (!isSymlink(current))
            return current;
        std::error_code ec;
        const fs::path target = fs::read_symlink(current, ec);
        if (ec)
            return std::nullopt;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return std::nullopt;
}

enum class FileState { Absent, Unreadable, Read };

// Reads a settings file without ever blocking or reading without end: only a
// regular file within the size limit is read; a FIFO, device, directory or
// anything larger is unreadable. A dangling link is a place to write, not a
// file to read.
FileState readSettingsFile(const fs::path& path, std::string& bytes, FileVersion& version) {
    FileContents contents =
        readRegularFile(path, SettingsDocument::kMaxBytes, SettingsDocument::kParsePadding);
    if (contents.error == FileReadError::absent)
        return FileState::Absent;
    if (!contents.bytes)
        return FileState::Unreadable;
    bytes = std::move(*contents.bytes);
    version = contents.version;
    return FileState::Read;
}

// 0, or the errno of the write that failed.
int writeAll(int fd, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        written += static_cast<size_t>(n);
    }
    return 0;
}

std::string temporaryPrefix(const fs::path& path) {
    return "." + path.filename().string() + ".tmp-";
}

// Writes `bytes` to a temporary file beside `path`, makes it durable, and
// renames it over `path`, so readers see the old or the new file, never a part.
// 0 and the version written, or the errno of the step that failed.
int replaceFileAtomically(const fs::path& path, const std::string& bytes, FileVersion& version) {
    std::string pattern = path.parent_path() / (temporaryPrefix(path) + "XXXXXX");
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return errno;
    int error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    // Renaming keeps the inode and its modification time, so this is the
    // version the path shows once renamed.
    if (const auto written = fileVersion(fd))
        version = *written;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && std::rename(pattern.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(pattern.c_str());
        return error;
    }
    // Make the rename itself durable; a failure here does not undo the write.
    const int dir = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

// A process killed between creating and renaming its temporary file leaves it
// behind. Only one instance uses a settings folder, so to the one holding the
// instance lock every such file of ours is stale.
void removeStaleTemporaryFilesBeside(const fs::path& path) {
    const std::string prefix = temporaryPrefix(path);
    const size_t length = prefix.size() + 6;  // mkstemp's XXXXXX
    std::error_code ec;
    for (fs::directory_iterator it(path.parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        struct stat st;
        if (name.size() == length && name.compare(0, prefix.size(), prefix) == 0 &&
            ::lstat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::getuid()) {
            ::unlink(it->path().c_str());
        }
    }
}

}  // namespace

// ---- UserDefaults -------------------------------------------------------------

void UserDefaults::readObject(std::string_view key,
                              const std::function<void(const DefaultsValue*)>& read) const {
    const auto value = object(key);
    read(value ? &*value : nullptr);
}

std::optional<std::string> UserDefaults::string(std::string_view key) const {
    return as<std::string>(object(key));
}

std::optional<bool> UserDefaults::boolean(std::string_view key) const {
    return as<bool>(object(key));
}

std::optional<double> UserDefaults::number(std::string_view key) const {
    const auto value = object(key);
    if (!value)
        return std::nullopt;
    if (const auto* i = std::get_if<std::int64_t>(&*value))
        return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&*value))
        return *d;
    return std::nullopt;
}

std::optional<std::vector<std::string>> UserDefaults::stringArray(std::string_view key) const {
    return as<std::vector<std::string>>(object(key));
}

std::optional<Data> UserDefaults::data(std::string_view key) const {
    return as<Data>(object(key));
}

// ---- MemoryUserDefaults -------------------------------------------------------

std::optional<DefaultsValue> MemoryUserDefaults::object(std::string_view key) const {
    const auto it = values_.find(key);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

void MemoryUserDefaults::readObject(std::string_view key,
                                    const std::function<void(const DefaultsValue*)>& read) const {
    const auto it = values_.find(key);
    read(it == values_.end() ? nullptr : &it->second);
}

void MemoryUserDefaults::set(std::string_view key, DefaultsValue value) {
    values_.insert_or_assign(std::string(key), std::move(value));
}

void MemoryUserDefaults::removeObject(std::string_view key) {
    const auto it = values_.find(key);
    if (it != values_.end())
        values_.erase(it);
}

// ---- JsonFileUserDefaults -------------------------------------------------------

std::filesystem::path JsonFileUserDefaults::defaultDirectory() {
    return settingsFolder();
}

JsonFileUserDefaults::JsonFileUserDefaults(std::filesystem::path directory, std::string domain)
    : directory_(std::move(directory)), path_(directory_ / (domain + ".json")) {
    load();
}

void JsonFileUserDefaults::removeStaleTemporaryFiles() {
    removeStaleTemporaryFilesBeside(path_);
    if (const auto target = resolveLinks(path_); target && *target != path_)
        removeStaleTemporaryFilesBeside(*target);
}

void JsonFileUserDefaults::load() {
    std::string bytes;
    FileVersion version;
    const FileState state = readSettingsFile(path_, bytes, version);
    if (state == FileState::Absent)
        return;
    std::optional<SettingsDocument> document;
    if (state == FileState::Read)
        document = SettingsDocument::parseInPlace(bytes);
    if (!document) {
        unreadableInPlace_ = true;
        if (!moveAside(Found::atOpen)) {
            std::fprintf(stderr,
                         "corvanta: the settings file %s cannot be read and cannot be moved "
                         "aside; settings start from their defaults and are not saved over it\n",
                         fs::absolute(path_).c_str());
        }
        return;
    }
    fileBytes_ = bytes.size();
    version_ = version;
    values_ = std::move(document->values);
    preserved_ = std::move(document->preserved);
}

bool JsonFileUserDefaults::moveAside(Found found, std::string* failure) {
    // A linked regular file is moved aside where it lives, so the link stays
    // and the next write recreates its target; a link to anything else (a
    // device, a FIFO, a folder, a loop) is itself moved aside.
    fs::path unreadable = path_;
    if (const auto target = resolveLinks(path_); target && isRegularFile(*target))
        unreadable = *target;
    const std::string base = unreadable.string() + ".unreadable-" + utcTimestamp();
    fs::path aside = base;
    for (int n = 1; pathExists(aside); ++n) {
        if (n > 1000) {
            if (failure)
                *failure = "an unreadable file is in its place and cannot be moved aside";
            return false;
        }
        aside = base + "-" + std::to_string(n);
    }
    if (std::rename(unreadable.c_str(), aside.c_str()) != 0) {
        if (failure)
            *failure = "an unreadable file is in its place and cannot be moved aside: " +
                       systemErrorText(errno);
        return false;
    }
    movedAside_ = aside;
    unreadableInPlace_ = false;
    // Otherwise every setting would silently show its default; the user's
    // file is still there to recover from.
    std::fprintf(stderr,
                 found == Found::atOpen
                     ? "corvanta: the settings file could not be read; it was moved to %s and "
                       "settings start from their defaults\n"
                     : "corvanta: the settings file was replaced by one that cannot be read; it "
                       "was moved to %s and the settings in use are saved in its place\n",
                 fs::absolute(aside).c_str());
    return true;
}

std::optional<DefaultsValue> JsonFileUserDefaults::object(std::string_view key) const {
    const auto it = values_.find(key);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

void JsonFileUserDefaults::readObject(std::string_view key,
                                      const std::function<void(const DefaultsValue*)>& read) const {
    const auto it = values_.find(key);
    read(it == values_.end() ? nullptr : &it->second);
}

void JsonFileUserDefaults::set(std::string_view key, DefaultsValue value) {
    const auto preserved = preserved_.find(key);
    if (preserved != preserved_.end())
        preserved_.erase(preserved);
    values_.insert_or_assign(std::string(key), std::move(value));
    changed_.emplace(key);
    persistSoon();
}

void JsonFileUserDefaults::removeObject(std::string_view key) {
    const auto it = values_.find(key);
    if (it != values_.end())
        values_.erase(it);
    const auto preserved = preserved_.find(key);
    if (preserved != preserved_.end())
        preserved_.erase(preserved);
    changed_.emplace(key);
    persistSoon();
}

JsonFileUserDefaults::~JsonFileUserDefaults() {
    // The same rule as synchronize(): a write that failed earlier is tried again.
    synchronize();
}

bool JsonFileUserDefaults::synchronize() {
    // Pending changes go out now; a failed write gets another attempt.
    if (dirty_ || !lastWriteOk_) {
        dirty_ = false;
        persist();
    }
    return lastWriteOk_;
}

void JsonFileUserDefaults::persistSoon() {
    if (!scheduler_) {
        persist();
        return;
    }
    dirty_ = true;
    if (flushScheduled_)
        return;
    flushScheduled_ = true;
    scheduler_([this, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.expired())
            return;
        flushScheduled_ = false;
        if (dirty_) {
            dirty_ = false;
            persist();
        }
    });
}

void JsonFileUserDefaults::persist() {
    std::optional<std::string> failure;
    try {
        failure = writeFile();
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "unknown error";
    }
    lastWriteOk_ = !failure;
    if (!failure) {
        failureReported_ = false;
        return;
    }
    // Once per run of failures: a window being dragged over a full disk
    // would otherwise repeat it twice a second.
    if (failureReported_)
        return;
    failureReported_ = true;
    std::error_code ignored;
    std::string where = fs::absolute(path_, ignored).string();
    if (const auto target = resolveLinks(path_); target && *target != path_)
        where += " (a link to " + fs::absolute(*target, ignored).string() + ")";
    std::fprintf(stderr,
                 "corvanta: the settings could not be saved to %s: %s; they are kept and saved "
                 "once writing works again\n",
                 where.c_str(), failure->c_str());
}

std::optional<std::string> JsonFileUserDefaults::writeFile() {
    if (std::string failure; unreadableInPlace_ && !moveAside(unreadableFound_, &failure))
        return failure;
    std::error_code ec;
    fs::create_directories(directory_, ec);
    if (ec)
        return "the folder cannot be made: " + systemErrorText(ec.value());
    const auto target = resolveLinks(path_);
    if (!target)
        return "the link cannot be followed: " + systemErrorText(ELOOP);
    if (auto failure = takeChangesOfOthers())
        return failure;
    SettingsDocument document;
    document.values = values_;
    document.preserved = preserved_;
    const std::string text = document.serialize();
    // A file the reader would refuse would be moved aside at the next start,
    // taking every setting with it. Growing one that is already over the limit
    // (written by hand or by an older version) is refused too; keeping or
    // shrinking it is not.
    if (text.size() > SettingsDocument::kMaxWriteBytes && text.size() > fileBytes_) {
        return "the settings would take " + std::to_string(text.size()) +
               " bytes, more than the limit of " + std::to_string(SettingsDocument::kMaxWriteBytes);
    }
    FileVersion written;
    if (const int error = replaceFileAtomically(*target, text, written))
        return systemErrorText(error);
    fileBytes_ = text.size();
    version_ = written;
    changed_.clear();
    return std::nullopt;
}

std::optional<std::string> JsonFileUserDefaults::takeChangesOfOthers() {
    const auto now = fileVersion(path_);
    if (!now || now == version_)
        return std::nullopt;
    std::string bytes;
    FileVersion version;
    const FileState state = readSettingsFile(path_, bytes, version);
    if (state == FileState::Absent)
        return std::nullopt;
    std::optional<SettingsDocument> document;
    if (state == FileState::Read)
        document = SettingsDocument::parseInPlace(bytes);
    if (!document) {
        // Never written over, as at open: moved aside, and ours take its place.
        unreadableInPlace_ = true;
        unreadableFound_ = Found::atWrite;
        std::string failure;
        if (!moveAside(Found::atWrite, &failure))
            return failure;
        version_.reset();
        return std::nullopt;
    }
    // The other program's entries, with this store's changes over them.
    for (const std::string& key : changed_) {
        document->preserved.erase(key);
        if (const auto ours = values_.find(key); ours != values_.end())
            document->values.insert_or_assign(key, std::move(ours->second));
        else
            document->values.erase(key);
    }
    values_ = std::move(document->values);
    preserved_ = std::move(document->preserved);
    version_ = version;
    fileBytes_ = bytes.size();
    return std::nullopt;
}

}  // namespace corvanta::platform
