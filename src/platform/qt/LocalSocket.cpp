// AF_UNIX stream sockets; see LocalSocket.h.
#include "platform/qt/LocalSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace corvanta::platform::local_socket {
namespace {

constexpr int kBacklog = 16;

bool addressOf(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

}  // namespace

void Descriptor::reset(int fd) {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

Descriptor listenAt(const std::string& path, std::string& error) {
    sockaddr_un address;
    if (!addressOf(path, address)) {
        error = std::generic_category().message(ENAMETOOLONG);
        return {};
    }
    Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        error = std::generic_category().message(errno);
        return {};
    }
    ::unlink(path.c_str());
    // The folder is already private; the file's own mode says so again.
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path.c_str(), 0600) != 0 || ::listen(fd.get(), kBacklog) != 0) {
        error = std::generic_category().message(errno);
        return {};
    }
    return fd;
}

Descriptor acceptNext(int listening) {
    int fd;
    do {
        fd = ::accept4(listening, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return Descriptor(fd);
}

Descriptor connectTo(const std::string& path, int timeoutMs) {
    sockaddr_un address;
    if (!addressOf(path, address))
        return {};
    Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.valid())
        return {};
    // A full queue makes a blocking connect wait, for at most the send timeout.
    const timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    int connected;
    do {
        connected =
            ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (connected != 0 && errno == EINTR);
    if (connected != 0)
        return {};
    const int flags = ::fcntl(fd.get(), F_GETFL);
    ::fcntl(fd.get(), F_SETFL, flags | O_NONBLOCK);
    return fd;
}

std::optional<uid_t> peerUid(int fd) {
    struct ucred credentials = {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return std::nullopt;
    return credentials.uid;
}

bool sendAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd writable{fd, POLLOUT, 0};
            if (::poll(&writable, 1, 1000) <= 0)
                return false;
            continue;
        }
        if (sent <= 0)
            return false;
        data += sent;
        size -= size_t(sent);
    }
    return true;
}

}  // namespace corvanta::platform::local_socket
