#include "platform/cdp/websocket.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstdint>
#include <random>

namespace platform::cdp {
namespace {

enum Opcode { kContinuation = 0x0, kText = 0x1, kBinary = 0x2, kClose = 0x8, kPing = 0x9, kPong = 0xA };

std::mt19937& RandomBytes() {
    static std::mt19937 generator{std::random_device{}()};
    return generator;
}

std::string RandomString(std::size_t length) {
    std::string bytes(length, '\0');
    for (char& byte : bytes) byte = static_cast<char>(RandomBytes()() & 0xFF);
    return bytes;
}

// A TCP connection to `endpoint`, connected by the deadline.
UniqueFd Connect(const Endpoint& endpoint, Deadline deadline) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(endpoint.host.c_str(), endpoint.port.c_str(), &hints, &found) != 0) return {};
    UniqueFd connected;
    for (addrinfo* address = found; address && !connected.IsValid(); address = address->ai_next) {
        UniqueFd fd(socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                           address->ai_protocol));
        if (!fd.IsValid()) continue;
        if (connect(fd.Get(), address->ai_addr, address->ai_addrlen) == 0) {
            connected = std::move(fd);
        } else if (errno == EINPROGRESS) {
            pollfd entry{fd.Get(), POLLOUT, 0};
            int error = 0;
            socklen_t length = sizeof error;
            if (poll(&entry, 1, MillisecondsUntil(deadline)) == 1 &&
                getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0)
                connected = std::move(fd);
        }
    }
    freeaddrinfo(found);
    return connected;
}

// A stream that reads and writes the one socket `fd`, with descriptors of its own.
SocketStream StreamOn(int fd) { return SocketStream(UniqueFd(dup(fd)), UniqueFd(dup(fd))); }

// Sends `request` and reads the answer up to the end of its headers; the bytes that follow the
// headers are left in `rest`.  Empty when no complete header arrives in time.
std::string ExchangeHeaders(SocketStream& stream, const std::string& request, std::string& rest,
                            Deadline deadline) {
    if (!stream.WriteAll(request, deadline)) return {};
    std::string received;
    for (;;) {
        const std::size_t end = received.find("\r\n\r\n");
        if (end != std::string::npos) {
            rest = received.substr(end + 4);
            return received.substr(0, end + 2);
        }
        if (stream.ReadSome(received, deadline) != ReadResult::Data) return {};
    }
}

// The request line and Host header of a GET of `endpoint`.
std::string GetRequest(const Endpoint& endpoint) {
    return "GET " + endpoint.path + " HTTP/1.1\r\nHost: " + endpoint.host + ":" + endpoint.port + "\r\n";
}

bool StatusIs(const std::string& headers, const std::string& code) {
    return headers.rfind("HTTP/1.1 " + code, 0) == 0 || headers.rfind("HTTP/1.0 " + code, 0) == 0;
}

// The value of header `name` (matched without regard to case); empty when absent.
std::string HeaderValue(const std::string& headers, const std::string& name) {
    const QByteArray wanted = QByteArray::fromStdString(name).toLower() + ':';
    for (const QByteArray& line : QByteArray::fromStdString(headers).split('\n')) {
        if (line.toLower().startsWith(wanted))
            return line.mid(wanted.size()).trimmed().toStdString();
    }
    return {};
}

// GET `endpoint` and give the body; the answer is read until the server closes the connection.
std::optional<std::string> HttpGet(const Endpoint& endpoint, Deadline deadline) {
    UniqueFd fd = Connect(endpoint, deadline);
    if (!fd.IsValid()) return std::nullopt;
    SocketStream stream = StreamOn(fd.Get());
    std::string body;
    const std::string headers = ExchangeHeaders(
        stream, GetRequest(endpoint) + "Connection: close\r\n\r\n", body, deadline);
    if (!StatusIs(headers, "200")) return std::nullopt;
    bool hasLength = false;
    const qulonglong length =
        QByteArray::fromStdString(HeaderValue(headers, "Content-Length")).toULongLong(&hasLength);
    for (;;) {
        if (hasLength && body.size() >= length) return body;
        switch (stream.ReadSome(body, deadline)) {
        case ReadResult::Data: break;
        case ReadResult::Closed: return body;
        case ReadResult::Timeout: return std::nullopt;
        }
    }
}

std::string AcceptKeyFor(const std::string& key) {
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray::fromStdString(key + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11"),
        QCryptographicHash::Sha1);
    return digest.toBase64().toStdString();
}

std::unique_ptr<Transport> OpenWebSocket(const Endpoint& endpoint, Deadline deadline) {
    UniqueFd fd = Connect(endpoint, deadline);
    if (!fd.IsValid()) return nullptr;
    SocketStream stream = StreamOn(fd.Get());
    const std::string key = QByteArray::fromStdString(RandomString(16)).toBase64().toStdString();
    std::string rest;
    const std::string headers = ExchangeHeaders(
        stream,
        GetRequest(endpoint) + "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: " + key +
            "\r\nSec-WebSocket-Version: 13\r\n\r\n",
        rest, deadline);
    if (!StatusIs(headers, "101") || HeaderValue(headers, "Sec-WebSocket-Accept") != AcceptKeyFor(key))
        return nullptr;
    return std::make_unique<WebSocketTransport>(std::move(stream), std::move(rest));
}

}  // namespace

std::optional<Endpoint> ParseEndpoint(const std::string& url, const std::string& scheme) {
    const std::string prefix = scheme + "://";
    if (url.rfind(prefix, 0) != 0) return std::nullopt;
    const std::string rest = url.substr(prefix.size());
    const std::size_t slash = rest.find('/');
    const std::string authority = rest.substr(0, slash);
    Endpoint endpoint;
    endpoint.path = slash == std::string::npos ? "/" : rest.substr(slash);
    const std::size_t colon = authority.rfind(':');
    const bool hasPort = colon != std::string::npos && authority.find(']', colon) == std::string::npos;
    endpoint.host = hasPort ? authority.substr(0, colon) : authority;
    endpoint.port = hasPort ? authority.substr(colon + 1) : "80";
    if (endpoint.host.size() > 2 && endpoint.host.front() == '[' && endpoint.host.back() == ']')
        endpoint.host = endpoint.host.substr(1, endpoint.host.size() - 2);
    if (endpoint.host.empty()) return std::nullopt;
    return endpoint;
}

std::unique_ptr<Transport> ConnectWebSocket(const std::string& httpUrl, Deadline deadline) {
    std::optional<Endpoint> http = ParseEndpoint(httpUrl, "http");
    if (!http) return nullptr;
    http->path = "/json/version";
    const std::optional<std::string> version = HttpGet(*http, deadline);
    if (!version) return nullptr;
    const QJsonObject description =
        QJsonDocument::fromJson(QByteArray::fromStdString(*version)).object();
    const std::optional<Endpoint> socketEndpoint =
        ParseEndpoint(description.value("webSocketDebuggerUrl").toString().toStdString(), "ws");
    return socketEndpoint ? OpenWebSocket(*socketEndpoint, deadline) : nullptr;
}

WebSocketTransport::WebSocketTransport(SocketStream stream, std::string alreadyReceived)
    : stream_(std::move(stream)), received_(std::move(alreadyReceived)) {}

bool WebSocketTransport::SendFrame(int opcode, std::string_view payload, Deadline deadline) {
    std::string frame;
    frame.push_back(static_cast<char>(0x80 | opcode));
    const std::size_t length = payload.size();
    if (length < 126) {
        frame.push_back(static_cast<char>(0x80 | length));
    } else if (length <= 0xFFFF) {
        frame.push_back(static_cast<char>(0x80 | 126));
        for (int shift = 8; shift >= 0; shift -= 8) frame.push_back(static_cast<char>((length >> shift) & 0xFF));
    } else {
        frame.push_back(static_cast<char>(0x80 | 127));
        for (int shift = 56; shift >= 0; shift -= 8) frame.push_back(static_cast<char>((length >> shift) & 0xFF));
    }
    const std::string mask = RandomString(4);
    frame += mask;
    for (std::size_t i = 0; i < length; ++i) frame.push_back(static_cast<char>(payload[i] ^ mask[i % 4]));
    return stream_.WriteAll(frame, deadline);
}

bool WebSocketTransport::Send(std::string_view message, Deadline deadline) {
    return SendFrame(kText, message, deadline);
}

std::optional<WebSocketTransport::Frame> WebSocketTransport::TakeFrame() {
    const auto byteAt = [this](std::size_t i) { return static_cast<unsigned char>(received_[i]); };
    if (received_.size() < 2) return std::nullopt;
    std::size_t header = 2;
    std::uint64_t length = byteAt(1) & 0x7F;
    const std::size_t extended = length == 126 ? 2 : length == 127 ? 8 : 0;
    if (received_.size() < header + extended) return std::nullopt;
    if (extended) {
        length = 0;
        for (std::size_t i = 0; i < extended; ++i) length = (length << 8) | byteAt(header + i);
        header += extended;
    }
    const bool masked = (byteAt(1) & 0x80) != 0;
    const std::size_t maskAt = header;
    if (masked) header += 4;
    if (received_.size() < header || received_.size() - header < length) return std::nullopt;
    Frame frame{(byteAt(0) & 0x80) != 0, byteAt(0) & 0x0F,
                received_.substr(header, static_cast<std::size_t>(length))};
    for (std::size_t i = 0; masked && i < frame.payload.size(); ++i)
        frame.payload[i] = static_cast<char>(frame.payload[i] ^ received_[maskAt + i % 4]);
    received_.erase(0, header + static_cast<std::size_t>(length));
    return frame;
}

ReceiveResult WebSocketTransport::Receive(std::string& message, Deadline deadline) {
    for (;;) {
        while (std::optional<Frame> frame = TakeFrame()) {
            switch (frame->opcode) {
            case kPing: SendFrame(kPong, frame->payload, deadline); break;
            case kClose: stream_.Close(); return ReceiveResult::Closed;
            case kText:
            case kBinary:
            case kContinuation:
                partial_ += frame->payload;
                if (frame->final) {
                    message = std::move(partial_);
                    partial_.clear();
                    return ReceiveResult::Message;
                }
                break;
            default: break;  // pongs and reserved opcodes carry nothing for us
            }
        }
        switch (stream_.ReadSome(received_, deadline)) {
        case ReadResult::Data: break;
        case ReadResult::Timeout: return ReceiveResult::Timeout;
        case ReadResult::Closed: return ReceiveResult::Closed;
        }
    }
}

}  // namespace platform::cdp
