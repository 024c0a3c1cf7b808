// Guarded file reading; see GuardedFile.h.
#include "platform/foundation/GuardedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace corvanta::platform {

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
            file.fail(FileReadError::failed, std::strerror(cause));
        return file;
    }
    // The type is checked on the descriptor, not the path, so the file cannot
    // be swapped between the look and the read.
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        file.fail(FileReadError::failed, std::strerror(errno));
    } else if (!S_ISREG(st.st_mode)) {
        file.fail(FileReadError::notRegular, "not a regular file");
    } else if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        file.fail(FileReadError::tooLarge,
                  "larger than the limit of " + std::to_string(maxBytes) + " bytes");
    } else {
        file.fd_ = fd;
        file.size_ = static_cast<std::uintmax_t>(st.st_size);
        return file;
    }
    ::close(fd);
    return file;
}

GuardedFile::GuardedFile(GuardedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      size_(other.size_),
      maxBytes_(other.maxBytes_),
      error_(other.error_),
      description_(std::move(other.description_)) {}

GuardedFile& GuardedFile::operator=(GuardedFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
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
            fail(FileReadError::failed, std::strerror(errno));
            return std::nullopt;
        }
        size += static_cast<std::size_t>(n);
    }
    return size;
}

FileContents readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    GuardedFile file = GuardedFile::open(path, maxBytes);
    FileContents contents;
    if (file.isOpen()) {
        // One byte past the limit tells a file that grew too large while
        // being read; one that grows within it is read to its end.
        const auto limit =
            static_cast<std::size_t>(std::min<std::uintmax_t>(maxBytes, SIZE_MAX - 1));
        std::string bytes(static_cast<std::size_t>(file.size()) + 1, '\0');
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
                bytes.resize(size);
                contents.bytes = std::move(bytes);
                return contents;
            }
            bytes.resize(std::min(limit + 1, std::max<std::size_t>(size * 2, 4096)));
        }
    }
    contents.error = file.error();
    contents.errorDescription = file.errorDescription();
    return contents;
}

}  // namespace corvanta::platform
