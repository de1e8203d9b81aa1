#pragma once
// The DevTools endpoint of a browser that the user started with a debugging port: its HTTP
// /json/version names a WebSocket, and the messages travel as WebSocket text frames.

#include <memory>
#include <optional>
#include <string>

#include "platform/cdp/transport.h"

namespace platform::cdp {

struct Endpoint {
    std::string host;
    std::string port;
    std::string path;  // starts with '/'
};

// Splits "scheme://host:port/path"; nullopt when `url` has another scheme or no host.
std::optional<Endpoint> ParseEndpoint(const std::string& url, const std::string& scheme);

// Connects to the browser whose HTTP debugging address is `httpUrl` (for instance
// "http://127.0.0.1:9222"); null when it cannot be reached by the deadline.
std::unique_ptr<Transport> ConnectWebSocket(const std::string& httpUrl, Deadline deadline);

// Client side of a WebSocket (RFC 6455) over a connected socket, after the opening handshake;
// `alreadyReceived` holds what arrived right behind the handshake's answer.
class WebSocketTransport : public Transport {
public:
    WebSocketTransport(SocketStream stream, std::string alreadyReceived);
    bool Send(std::string_view message, Deadline deadline) override;
    ReceiveResult Receive(std::string& message, Deadline deadline) override;
    bool IsOpen() const override { return stream_.IsOpen(); }
    void Close() override { stream_.Close(); }

private:
    struct Frame {
        bool final = false;
        int opcode = 0;
        std::string payload;
    };
    std::optional<Frame> TakeFrame();
    bool SendFrame(int opcode, std::string_view payload, Deadline deadline);

    SocketStream stream_;
    std::string received_;
    std::string partial_;  // the text of a message that arrives in several frames
};

}  // namespace platform::cdp
