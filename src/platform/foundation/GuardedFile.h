// The one way the application reads a file it did not write itself: only a
// regular file is read, never beyond a size limit, and opening never waits.
// A FIFO, a device, a folder or a link to one of them is refused at once
// instead of blocking the reader or feeding it without end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace corvanta::platform {

// One state of a file: replacing it makes another inode, rewriting it in
// place another size or modification time.
struct FileVersion {
    std::uintmax_t device = 0;
    std::uintmax_t inode = 0;
    std::uintmax_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileVersion&) const = default;
};

// The version of what `path` names now (following links); nothing when
// nothing is there.
std::optional<FileVersion> fileVersion(const std::filesystem::path& path);
// The version of an open file.
std::optional<FileVersion> fileVersion(int descriptor);

enum class FileReadError {
    none,
    absent,      // nothing at the path, or a link to nothing
    notRegular,  // a FIFO, device, socket or folder
    tooLarge,    // over the caller's limit, or grew past it while being read
    failed,      // could not be opened or read (permissions, I/O)
};

// An open regular file. Moves, does not copy; closes its descriptor.
class GuardedFile {
public:
    // Opens `path` (following links) when it is a regular file of at most
    // `maxBytes`; otherwise the result is closed and says why.
    static GuardedFile open(const std::filesystem::path& path, std::uintmax_t maxBytes);

    GuardedFile(GuardedFile&& other) noexcept;
    GuardedFile& operator=(GuardedFile&& other) noexcept;
    GuardedFile(const GuardedFile&) = delete;
    GuardedFile& operator=(const GuardedFile&) = delete;
    ~GuardedFile();

    bool isOpen() const { return fd_ >= 0; }
    FileReadError error() const { return error_; }
    // A short sentence for load warnings, e.g. "not a regular file".
    const std::string& errorDescription() const { return description_; }
    // The size found when it was opened.
    std::uintmax_t size() const { return size_; }
    // The version found when it was opened.
    const FileVersion& version() const { return version_; }

    // Reads on until end of file or `capacity` bytes, whichever comes first;
    // how many were read, or nothing when a read fails (error() says why).
    // Ask for one byte more than expected to tell a file that grew.
    std::optional<std::size_t> readInto(char* buffer, std::size_t capacity);
    // Marks the file as failed, for a caller that finds it unusable.
    void fail(FileReadError error, std::string description);

private:
    GuardedFile() = default;

    int fd_ = -1;
    std::uintmax_t size_ = 0;
    FileVersion version_;
    std::uintmax_t maxBytes_ = 0;
    FileReadError error_ = FileReadError::none;
    std::string description_;
};

struct FileContents {
    std::optional<std::string> bytes;  // absent on failure
    FileVersion version;               // of the file the bytes came from
    FileReadError error = FileReadError::none;
    std::string errorDescription;

    bool ok() const { return bytes.has_value(); }
};

// The whole of a regular file of at most `maxBytes`, or why not. The bytes'
// capacity exceeds their size by at least `spare`, for a parser that reads a
// little past the end of its input and would otherwise need its own copy.
FileContents readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                             std::size_t spare = 0);

// Whether an SVG document names anything beyond itself: an href that is not a
// fragment ("#id") or an inline "data:" URI, a url(...) that is not a
// fragment, or an external entity. Rendering such a document would have the
// renderer open those files unguarded, so it is not rendered at all. The
// test is deliberately coarse: text that merely looks like such a reference
// (in a comment, say) also counts.
bool svgReferencesOtherFiles(std::string_view svg);

// Whether SVG bytes can be handed to a renderer: not compressed (which could
// not be checked without unpacking) and naming no other file.
bool isSelfContainedSvg(std::string_view svg);

// Drawings of our own (symbols, logos) are a few kilobytes each.
inline constexpr std::uintmax_t kMaxDrawingFileBytes = 1024 * 1024;

// An SVG file of at most `maxBytes` read through the guarded open, or nothing
// when it cannot be read, is compressed or names other files: what a renderer
// is handed instead of the path.
std::optional<std::string> readSelfContainedSvg(const std::filesystem::path& path,
                                                std::uintmax_t maxBytes);

}  // namespace corvanta::platform
