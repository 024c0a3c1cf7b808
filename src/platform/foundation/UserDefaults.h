// A typed key-value settings domain. Values keep their type: reading a key as
// another type gives nothing (a Boolean stays a Boolean; the string "false" is
// not one).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/foundation/GuardedFile.h"

namespace corvanta::platform {

using Data = std::vector<std::uint8_t>;

// Integers and doubles are both numbers; they are kept apart so that an
// integer written is read back exactly.
using DefaultsValue =
    std::variant<std::string, bool, std::int64_t, double, std::vector<std::string>, Data>;

class UserDefaults {
public:
    virtual ~UserDefaults() = default;

    virtual std::optional<DefaultsValue> object(std::string_view key) const = 0;
    // Hands `read` the value of `key` (nullptr when absent) without copying
    // it, for values large enough that a copy shows (many favourites). The
    // value must not be kept beyond the call.
    virtual void readObject(std::string_view key,
                            const std::function<void(const DefaultsValue*)>& read) const;
    virtual void set(std::string_view key, DefaultsValue value) = 0;
    virtual void removeObject(std::string_view key) = 0;
    // Makes every accepted write durable. False when some could not reach the
    // store: they stay in memory and are tried again. Stores that write
    // through may do nothing.
    virtual bool synchronize() { return true; }

    std::optional<std::string> string(std::string_view key) const;
    std::optional<bool> boolean(std::string_view key) const;
    // A Boolean, or false when absent or of another type.
    bool boolForKey(std::string_view key) const { return boolean(key).value_or(false); }
    // Integer or double, read as double.
    std::optional<double> number(std::string_view key) const;
    std::optional<std::vector<std::string>> stringArray(std::string_view key) const;
    std::optional<Data> data(std::string_view key) const;

    void setString(std::string_view key, std::string value) { set(key, std::move(value)); }
    void setBool(std::string_view key, bool value) { set(key, value); }
    void setInteger(std::string_view key, std::int64_t value) { set(key, value); }
    void setDouble(std::string_view key, double value) { set(key, value); }
    void setStringArray(std::string_view key, std::vector<std::string> value) {
        set(key, std::move(value));
    }
    void setData(std::string_view key, Data value) { set(key, std::move(value)); }
};

// Values in memory only; for tests and as a fallback when no file can be used.
class MemoryUserDefaults final : public UserDefaults {
public:
    std::optional<DefaultsValue> object(std::string_view key) const override;
    void readObject(std::string_view key,
                    const std::function<void(const DefaultsValue*)>& read) const override;
    void set(std::string_view key, DefaultsValue value) override;
    void removeObject(std::string_view key) override;

    const std::map<std::string, DefaultsValue, std::less<>>& values() const { return values_; }

private:
    std::map<std::string, DefaultsValue, std::less<>> values_;
};

// One JSON document per domain (see SettingsDocument). Each write replaces the
// file atomically (temporary file, flush, rename); a linked file is replaced
// where the link points, so the link stays. Only a regular file within the size
// and depth limits is read; anything else found at open is unreadable and is
// moved aside under a timestamped name, and the domain starts empty. An
// unreadable file is never overwritten, and moving one aside is reported on
// stderr. Entries this version cannot read are kept and written back
// unchanged. A write that would make the file larger than the reader takes
// with room to spare (SettingsDocument::kMaxWriteBytes) is refused like one
// the disk refuses: the file stays as it was.
//
// Another program may change the file meanwhile: a write first reads again a
// file that changed since it was read or written here, and keeps its entries
// except those this store changed since. A write that fails keeps the values
// in memory and the next one (or synchronize(), or closing the store) tries
// again; the first failure after a success is reported on stderr in one line
// naming the file and the reason.
class JsonFileUserDefaults final : public UserDefaults {
public:
    // settingsFolder(): `$XDG_CONFIG_HOME/corvanta`, or `~/.config/corvanta`.
    static std::filesystem::path defaultDirectory();

    // Opens (or creates on first write) `<directory>/<domain>.json`.
    JsonFileUserDefaults(std::filesystem::path directory, std::string domain);
    // Writes what is still pending.
    ~JsonFileUserDefaults() override;
    JsonFileUserDefaults(const JsonFileUserDefaults&) = delete;
    JsonFileUserDefaults& operator=(const JsonFileUserDefaults&) = delete;

    // Without a scheduler every change reaches the disk at once. With one, the
    // first change after a write asks it to run `flush` later, so a burst of
    // changes (a window being dragged) costs one file write; synchronize()
    // writes at once. The scheduler may outlive this object.
    using FlushScheduler = std::function<void(std::function<void()> flush)>;
    void setFlushScheduler(FlushScheduler scheduler) { scheduler_ = std::move(scheduler); }

    std::optional<DefaultsValue> object(std::string_view key) const override;
    void readObject(std::string_view key,
                    const std::function<void(const DefaultsValue*)>& read) const override;
    void set(std::string_view key, DefaultsValue value) override;
    void removeObject(std::string_view key) override;
    bool synchronize() override;

    // Removes the temporary files a killed write left beside the file (and
    // beside its link target). Only for the process that holds the instance
    // lock of the folder: another one's files may be a write in progress.
    void removeStaleTemporaryFiles();

    const std::filesystem::path& filePath() const { return path_; }

    // Where an unreadable file found at open was moved, if one was.
    const std::optional<std::filesystem::path>& movedAsidePath() const { return movedAside_; }
    // False when the last write could not reach the disk; the value stays in memory.
    bool lastWriteSucceeded() const { return lastWriteOk_; }

private:
    void load();
    // `found` says how the file was met: at open (or still in place since),
    // or in place of the one this store wrote. On failure, why, in `failure`.
    enum class Found { atOpen, atWrite };
    bool moveAside(Found found, std::string* failure = nullptr);
    // Nothing, or why the file could not be written.
    std::optional<std::string> writeFile();
    std::optional<std::string> takeChangesOfOthers();
    void persist();
    void persistSoon();

    std::filesystem::path directory_;
    std::filesystem::path path_;
    std::map<std::string, DefaultsValue, std::less<>> values_;
    // Entries of the file this version cannot read (unknown type tag, bad
    // shape), kept as JSON text and written back untouched.
    std::map<std::string, std::string, std::less<>> preserved_;
    std::optional<std::filesystem::path> movedAside_;
    // An unreadable file that could not be moved aside yet; until it is, no
    // write may replace it.
    bool unreadableInPlace_ = false;
    Found unreadableFound_ = Found::atOpen;
    bool lastWriteOk_ = true;
    // A failure was told on stderr; the next success clears it.
    bool failureReported_ = false;
    // The file as last read or written here; another version was written by
    // someone else.
    std::optional<FileVersion> version_;
    // Keys set or removed since the file was last read or written: what a
    // write puts over another program's version of the file.
    std::set<std::string, std::less<>> changed_;
    // The size of the file as last read or written: a document over the write
    // limit may still replace a file at least as large, which was readable.
    std::size_t fileBytes_ = 0;
    FlushScheduler scheduler_;
    bool dirty_ = false;
    bool flushScheduled_ = false;
    // Lets a scheduled flush notice that this object is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace corvanta::platform
