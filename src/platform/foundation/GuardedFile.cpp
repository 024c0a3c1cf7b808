// Guarded file reading; see GuardedFile.h.
#include "platform/foundation/GuardedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/foundation/SystemError.h"

namespace corvanta::platform {
namespace {

FileVersion versionOf(const struct stat& st) {
    return {static_cast<std::uintmax_t>(st.st_dev), static_cast<std::uintmax_t>(st.st_ino),
            static_cast<std::uintmax_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

}  // namespace

std::optional<FileVersion> fileVersion(const std::filesystem::path& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return versionOf(st);
}

std::optional<FileVersion> fileVersion(int descriptor) {
    struct stat st;
    if (::fstat(descriptor, &st) != 0)
        return std::nullopt;
    return versionOf(st);
}

GuardedFile GuardedFile::open(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    GuardedFile file;
    file.maxBytes_ = maxBytes;
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer
    // for ever. It changes nothing for a regular file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int cause = errno;
        if (cause == ENOENT || cause == ENOTDIR)
            file.fail(FileReadError::absent, "the file does not exist");
        else if (cause == ENXIO)  // a socket, or a FIFO opened for writing elsewhere
            file.fail(FileReadError::notRegular, "not a regular file");
        else
            file.fail(FileReadError::failed, systemErrorText(cause));
        return file;
    }
    // The type is checked on the descriptor, not the path, so the file cannot
    // be swapped between the look and the read.
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        file.fail(FileReadError::failed, systemErrorText(errno));
    } else if (!S_ISREG(st.st_mode)) {
        file.fail(FileReadError::notRegular, "not a regular file");
    } else if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        file.fail(FileReadError::tooLarge,
                  "larger than the limit of " + std::to_string(maxBytes) + " bytes");
    } else {
        file.fd_ = fd;
        file.size_ = static_cast<std::uintmax_t>(st.st_size);
        file.version_ = versionOf(st);
        return file;
    }
    ::close(fd);
    return file;
}

GuardedFile::GuardedFile(GuardedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      size_(other.size_),
      version_(other.version_),
      maxBytes_(other.maxBytes_),
      error_(other.error_),
      description_(std::move(other.description_)) {}

GuardedFile& GuardedFile::operator=(GuardedFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
        version_ = other.version_;
        maxBytes_ = other.maxBytes_;
        error_ = other.error_;
        description_ = std::move(other.description_);
    }
    return *this;
}

GuardedFile::~GuardedFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

void GuardedFile::fail(FileReadError error, std::string description) {
    error_ = error;
    description_ = std::move(description);
}

std::optional<std::size_t> GuardedFile::readInto(char* buffer, std::size_t capacity) {
    if (fd_ < 0)
        return std::nullopt;
    std::size_t size = 0;
    while (size < capacity) {
        const ssize_t n = ::read(fd_, buffer + size, capacity - size);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(FileReadError::failed, systemErrorText(errno));
            return std::nullopt;
        }
        size += static_cast<std::size_t>(n);
    }
    return size;
}

FileContents readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                             std::size_t spare) {
    GuardedFile file = GuardedFile::open(path, maxBytes);
    FileContents contents;
    contents.version = file.version();
    if (file.isOpen()) {
        // One byte past the limit tells a file that grew too large while
        // being read; one that grows within it is read to its end.
        const auto limit =
            static_cast<std::size_t>(std::min<std::uintmax_t>(maxBytes, SIZE_MAX - 1 - spare));
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(file.size()) + 1 + spare);
        bytes.resize(static_cast<std::size_t>(file.size()) + 1);
        std::size_t size = 0;
        for (;;) {
            const std::optional<std::size_t> read =
                file.readInto(bytes.data() + size, bytes.size() - size);
            if (!read)
                break;
            size += *read;
            if (size > limit) {
                file.fail(FileReadError::tooLarge,
                          "the file grew past the limit of " + std::to_string(maxBytes) + " bytes");
                break;
            }
            if (size < bytes.size()) {
                // The spare bytes are zeros, so that what reads past the end
                // finds the same whatever the memory held before.
                bytes.resize(size + spare);
                bytes.resize(size);
                contents.bytes = std::move(bytes);
                return contents;
            }
            const std::size_t grown = std::min(limit + 1, std::max<std::size_t>(size * 2, 4096));
            bytes.reserve(grown + spare);
            bytes.resize(grown);
        }
    }
    contents.error = file.error();
    contents.errorDescription = file.errorDescription();
    return contents;
}

namespace {

bool isXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::size_t skipSpace(std::string_view text, std::size_t at) {
    while (at < text.size() && isXmlSpace(text[at])) ++at;
    return at;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? char(text[i] - 'A' + 'a') : text[i];
        if (c != prefix[i])
            return false;
    }
    return true;
}

// A reference that stays inside the document. Anything else, including one
// spelt with an entity or a character reference, is taken as external.
bool isInternal(std::string_view value) {
    return value.starts_with('#') || startsWithNoCase(value, "data:");
}

// Every `href = "value"` (any prefix, either quote) in `svg`.
bool hasExternalHref(std::string_view svg) {
    for (std::size_t at = svg.find("href"); at != std::string_view::npos;
         at = svg.find("href", at + 1)) {
        // Only as an attribute name: after a space or a namespace prefix.
        if (at == 0 || !(isXmlSpace(svg[at - 1]) || svg[at - 1] == ':'))
            continue;
        std::size_t i = skipSpace(svg, at + 4);
        if (i >= svg.size() || svg[i] != '=')
            continue;
        i = skipSpace(svg, i + 1);
        if (i >= svg.size() || (svg[i] != '"' && svg[i] != '\''))
            continue;
        if (!isInternal(svg.substr(skipSpace(svg, i + 1))))
            return true;
    }
    return false;
}

// Every url(...) in attributes and style sheets.
bool hasExternalUrl(std::string_view svg) {
    for (std::size_t at = svg.find("url("); at != std::string_view::npos;
         at = svg.find("url(", at + 1)) {
        std::size_t i = skipSpace(svg, at + 4);
        if (i < svg.size() && (svg[i] == '"' || svg[i] == '\''))
            i = skipSpace(svg, i + 1);
        if (!isInternal(svg.substr(i)))
            return true;
    }
    return false;
}

bool hasExternalEntity(std::string_view svg) {
    for (std::size_t at = svg.find("<!ENTITY"); at != std::string_view::npos;
         at = svg.find("<!ENTITY", at + 1)) {
        const std::size_t end = svg.find('>', at);
        const std::string_view declaration = svg.substr(at, end == svg.npos ? svg.npos : end - at);
        if (declaration.find("SYSTEM") != declaration.npos ||
            declaration.find("PUBLIC") != declaration.npos)
            return true;
    }
    return false;
}

}  // namespace

bool svgReferencesOtherFiles(std::string_view svg) {
    return hasExternalHref(svg) || hasExternalUrl(svg) || hasExternalEntity(svg);
}

bool isSelfContainedSvg(std::string_view svg) {
    return !svg.starts_with("\x1f\x8b") && !svgReferencesOtherFiles(svg);
}

std::optional<std::string> readSelfContainedSvg(const std::filesystem::path& path,
                                                std::uintmax_t maxBytes) {
    FileContents contents = readRegularFile(path, maxBytes);
    if (!contents.ok() || !isSelfContainedSvg(*contents.bytes))
        return std::nullopt;
    return std::move(contents.bytes);
}

}  // namespace corvanta::platform
