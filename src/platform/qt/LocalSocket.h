// Plain AF_UNIX stream sockets for the single instance: a listening socket at
// a path, a client connection with a time limit, and the peer's user. The
// toolkit's local sockets would bring its whole network library (and its
// proxy and Kerberos chain) into every start for a few bytes.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace corvanta::platform::local_socket {

// A descriptor closed with the object.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// Listens at `path`, replacing whatever sits there; the socket file is made
// readable and writable by its owner only. Non-blocking. On failure an invalid
// descriptor and the system's reason in `error`.
Descriptor listenAt(const std::string& path, std::string& error);

// Takes the next waiting connection (non-blocking), or an invalid descriptor
// when none is waiting.
Descriptor acceptNext(int listening);

// Connects to `path`, waiting at most `timeoutMs` for room in the listener's
// queue. The connection is non-blocking once made.
Descriptor connectTo(const std::string& path, int timeoutMs);

// The user of the process at the other end.
std::optional<uid_t> peerUid(int fd);

// Writes all of `data` unless the peer has gone (no SIGPIPE either way).
bool sendAll(int fd, const char* data, size_t size);

}  // namespace corvanta::platform::local_socket
