#include "platform/cdp/transport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace platform::cdp {
namespace {

void MakeNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

// Waits until `fd` is ready for `events`; false on timeout.  Errors and hang-ups count as ready,
// so that the following read or write reports them.
bool WaitFor(int fd, short events, Deadline deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, MillisecondsUntil(deadline));
        if (ready > 0) return true;
        if (ready == 0) return false;
        if (errno != EINTR) return true;
    }
}

bool Retryable(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        Reset();
        fd_ = other.Release();
    }
    return *this;
}

int UniqueFd::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::Reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

int MillisecondsUntil(Deadline deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

SocketStream::SocketStream(UniqueFd readFd, UniqueFd writeFd)
    : readFd_(std::move(readFd)), writeFd_(std::move(writeFd)) {
    MakeNonBlocking(readFd_.Get());
    MakeNonBlocking(writeFd_.Get());
}

void SocketStream::Close() {
    readFd_.Reset();
    writeFd_.Reset();
}

bool SocketStream::WriteAll(std::string_view bytes, Deadline deadline) {
    while (IsOpen() && !bytes.empty()) {
        const ssize_t written = send(writeFd_.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (written < 0 && Retryable(errno) && WaitFor(writeFd_.Get(), POLLOUT, deadline)) {
            continue;
        } else {
            Close();
        }
    }
    return IsOpen();
}

ReadResult SocketStream::ReadSome(std::string& buffer, Deadline deadline) {
    char chunk[65536];
    for (;;) {
        if (!IsOpen()) return ReadResult::Closed;
        const ssize_t got = read(readFd_.Get(), chunk, sizeof chunk);
        if (got > 0) {
            buffer.append(chunk, static_cast<std::size_t>(got));
            return ReadResult::Data;
        }
        if (got < 0 && Retryable(errno)) {
            if (!WaitFor(readFd_.Get(), POLLIN, deadline)) return ReadResult::Timeout;
            continue;
        }
        Close();
    }
}

PipeTransport::PipeTransport(UniqueFd toBrowser, UniqueFd fromBrowser)
    : stream_(std::move(fromBrowser), std::move(toBrowser)) {}

bool PipeTransport::Send(std::string_view message, Deadline deadline) {
    std::string framed(message);
    framed.push_back('\0');
    return stream_.WriteAll(framed, deadline);
}

ReceiveResult PipeTransport::Receive(std::string& message, Deadline deadline) {
    std::size_t scanned = 0;
    for (;;) {
        const std::size_t end = received_.find('\0', scanned);
        if (end != std::string::npos) {
            message = received_.substr(0, end);
            received_.erase(0, end + 1);
            return ReceiveResult::Message;
        }
        scanned = received_.size();
        switch (stream_.ReadSome(received_, deadline)) {
        case ReadResult::Data: break;
        case ReadResult::Timeout: return ReceiveResult::Timeout;
        case ReadResult::Closed: return ReceiveResult::Closed;
        }
    }
}

}  // namespace platform::cdp
