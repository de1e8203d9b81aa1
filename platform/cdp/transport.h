#pragma once
// Message streams to the browser's DevTools endpoint.  Every wait is bounded by a deadline, and
// nothing here needs an event loop: the caller's thread waits on the socket itself.

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

namespace platform::cdp {

using SteadyClock = std::chrono::steady_clock;
using Deadline = SteadyClock::time_point;

inline Deadline After(std::chrono::milliseconds wait) { return SteadyClock::now() + wait; }

// A file descriptor, closed when it goes out of scope.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    bool IsValid() const { return fd_ >= 0; }
    int Release();
    void Reset();

private:
    int fd_ = -1;
};

enum class ReadResult { Data, Timeout, Closed };

// A connected, non-blocking socket read and written with bounded waits.  Writes never raise
// SIGPIPE: a peer that has gone away shows as a closed stream.
class SocketStream {
public:
    // Switches `readFd` and `writeFd` (which may name the same socket) to non-blocking mode.
    SocketStream(UniqueFd readFd, UniqueFd writeFd);

    // Writes all of `bytes`; false (and the stream closed) when that cannot be done in time,
    // since a half-written message would corrupt the stream.
    bool WriteAll(std::string_view bytes, Deadline deadline);
    // Appends what arrives to `buffer`, waiting until something does or the deadline passes.
    ReadResult ReadSome(std::string& buffer, Deadline deadline);
    bool IsOpen() const { return readFd_.IsValid() && writeFd_.IsValid(); }
    void Close();

private:
    UniqueFd readFd_;
    UniqueFd writeFd_;
};

enum class ReceiveResult { Message, Timeout, Closed };

// One DevTools message stream: whole JSON texts in, whole JSON texts out.
class Transport {
public:
    virtual ~Transport() = default;
    // False when the message could not be sent whole; the stream is then closed.
    virtual bool Send(std::string_view message, Deadline deadline) = 0;
    virtual ReceiveResult Receive(std::string& message, Deadline deadline) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
};

// --remote-debugging-pipe: each message is a JSON text followed by a NUL byte.
class PipeTransport : public Transport {
public:
    PipeTransport(UniqueFd toBrowser, UniqueFd fromBrowser);
    bool Send(std::string_view message, Deadline deadline) override;
    ReceiveResult Receive(std::string& message, Deadline deadline) override;
    bool IsOpen() const override { return stream_.IsOpen(); }
    void Close() override { stream_.Close(); }

private:
    SocketStream stream_;
    std::string received_;
};

// Milliseconds left until `deadline`, for poll(); 0 once it has passed.
int MillisecondsUntil(Deadline deadline);

}  // namespace platform::cdp
