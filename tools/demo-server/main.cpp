// A small stand-in for the Kelvaro进销存 web application: its login page (also in GBK and inside
// a frameset), login handler, application page and shutdown page, on the loopback interface.  Every request under the base
// path is recorded as one JSON line, so that tests can see what a browser sent.
//
//   lumatra-demo-server [--port N] [--log FILE] [--login-delay MS] [--other-host] [--base PATH]
//
// The first line on standard output is the base URL.  With --other-host the same pages are also
// served on 127.0.0.2, which the browser takes for another host.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/text.h"

namespace {

struct Options {
    int port = 0;
    std::string logPath;
    int loginDelayMs = 0;
    bool otherHost = false;
    std::string base = "/crm2.5";
};

struct Request {
    std::string method;
    std::string path;   // without the query
    std::string query;
    std::string body;
    std::string host;   // the local address the request came in on
};

struct Response {
    int status = 200;
    std::string contentType = "text/html; charset=utf-8";
    std::string body;
    std::string location;
};

// ---------------------------------------------------------------------------------------------
// Text

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string PercentDecode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::map<std::string, std::string> ParseForm(const std::string& encoded) {
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    while (start <= encoded.size()) {
        const std::size_t end = std::min(encoded.find('&', start), encoded.size());
        const std::string pair = encoded.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        if (!pair.empty())
            fields[PercentDecode(pair.substr(0, equals))] =
                equals == std::string::npos ? "" : PercentDecode(pair.substr(equals + 1));
        start = end + 1;
    }
    return fields;
}

// ---------------------------------------------------------------------------------------------
// The pages

constexpr const char* kLoginTitle = "Kelvaro进销存登录中";

std::string Page(const std::string& charset, const std::string& title, const std::string& body) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"" + charset + "\"><title>" + title +
           "</title></head>\n<body>\n" + body + "\n</body></html>\n";
}

std::string LoginPage(const std::string& charset, const std::string& action) {
    return Page(charset, kLoginTitle,
                "<form method=\"post\" action=\"" + action + "\">\n"
                "<p><label>用户名 <input name=\"username\"></label></p>\n"
                "<p><label>密码 <input type=\"password\" name=\"password\"></label></p>\n"
                "<p><input type=\"submit\" value=\"登 录\"></p>\n</form>\n"
                // Tells the server when the page finished loading, for timing the login.
                "<script>addEventListener('load', () => navigator.sendBeacon('loaded.php?at=' + Date.now()));</script>");
}

class DemoServer {
public:
    explicit DemoServer(Options options) : options_(std::move(options)) {
        if (!options_.logPath.empty()) log_.open(options_.logPath, std::ios::app);
    }

    Response Handle(const Request& request) {
        const std::string& base = options_.base;
        if (request.path.rfind(base + "/", 0) != 0) return NotFound();
        const std::string page = request.path.substr(base.size());
        if (page == "/login/initial.htm") return Logged(request, "page", Html(LoginPage("utf-8", "login.php")));
        if (page == "/login/initial-gbk.htm") return Logged(request, "page", GbkLoginPage());
        if (page == "/login/login.php" && request.method == "POST") return Login(request);
        if (page == "/login/loaded.php" && request.method == "POST") return Loaded(request);
        if (page == "/main.htm") return Logged(request, "page", ApplicationPage());
        if (page == "/login/frameset.htm") return Logged(request, "page", Frameset("initial.htm"));
        if (page == "/login/cross-frame.htm" && options_.otherHost)
            return Logged(request, "page", Frameset(OtherHostUrl() + base + "/login/initial.htm"));
        if (page == "/login/shutdown.php") return Logged(request, "shutdown", ShutdownPage());
        return NotFound();
    }

    void SetPort(int port) { port_ = port; }

private:
    static Response Html(std::string body) { return Response{200, "text/html; charset=utf-8", std::move(body), {}}; }
    static Response NotFound() { return Response{404, "text/plain; charset=utf-8", "Not found\n", {}}; }

    std::string OtherHostUrl() const { return "http://127.0.0.2:" + std::to_string(port_); }

    static Response GbkLoginPage() {
        return Response{200, "text/html; charset=GBK",
                        platform::text::FromUtf8(LoginPage("GBK", "login.php?charset=gbk"), platform::text::CodePage::Gbk), {}};
    }

    static Response ApplicationPage() {
        return Html(Page("utf-8", "Kelvaro进销存 - kelvarosoft",
                         "<h1>Kelvaro进销存</h1>\n<p>已登录。</p>\n"
                         "<p><a href=\"login/shutdown.php\">退出系统</a></p>"));
    }

    static Response Frameset(const std::string& frameUrl) {
        return Html("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Kelvaro进销存</title></head>\n"
                    "<frameset rows=\"*\"><frame name=\"main\" src=\"" + frameUrl + "\"></frameset></html>\n");
    }

    static Response ShutdownPage() {
        return Html(Page("utf-8", "Kelvaro进销存 - 已退出",
                         "<p>您已退出系统。</p>\n<p><a href=\"initial.htm\">重新登录</a></p>"));
    }

    Response Login(const Request& request) {
        std::map<std::string, std::string> fields = ParseForm(request.body);
        if (ParseForm(request.query)["charset"] == "gbk")
            for (auto& [name, value] : fields) value = platform::text::ToUtf8(value, platform::text::CodePage::Gbk);
        if (options_.loginDelayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(options_.loginDelayMs));
        Record(request, "login", ",\"username\":" + JsonString(fields["username"]) +
                                     ",\"password\":" + JsonString(fields["password"]));
        return Response{303, "text/plain; charset=utf-8", "See other\n", options_.base + "/main.htm"};
    }

    Response Loaded(const Request& request) {
        Record(request, "loaded", ",\"page_time_ms\":" + JsonString(ParseForm(request.query)["at"]));
        return Html({});
    }

    Response Logged(const Request& request, const char* event, Response response) {
        Record(request, event, {});
        return response;
    }

    void Record(const Request& request, const char* event, const std::string& extra) {
        const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
        const std::string line = "{\"event\":" + JsonString(event) + ",\"time_ms\":" + std::to_string(now) +
                                 ",\"host\":" + JsonString(request.host) +
                                 ",\"method\":" + JsonString(request.method) +
                                 ",\"path\":" + JsonString(request.path) + extra + "}\n";
        std::lock_guard lock(logMutex_);
        if (log_.is_open()) log_ << line << std::flush;
    }

    Options options_;
    int port_ = 0;
    std::mutex logMutex_;
    std::ofstream log_;
};

// ---------------------------------------------------------------------------------------------
// HTTP/1.1, one request per connection

// A request, or nullopt when what arrived is no request; `receivedAnything` tells whether any byte came.
std::optional<Request> ReadRequest(int fd, bool& receivedAnything) {
    std::string received;
    char chunk[4096];
    std::size_t headerEnd;
    while ((headerEnd = received.find("\r\n\r\n")) == std::string::npos) {
        if (received.size() > 65536) return std::nullopt;
        const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) return std::nullopt;
        receivedAnything = true;
        received.append(chunk, static_cast<std::size_t>(got));
    }
    Request request;
    const std::string head = received.substr(0, headerEnd);
    const std::size_t methodEnd = head.find(' ');
    const std::size_t targetEnd = head.find(' ', methodEnd + 1);
    if (methodEnd == std::string::npos || targetEnd == std::string::npos) return std::nullopt;
    request.method = head.substr(0, methodEnd);
    const std::string target = head.substr(methodEnd + 1, targetEnd - methodEnd - 1);
    const std::size_t question = target.find('?');
    request.path = target.substr(0, question);
    request.query = question == std::string::npos ? "" : target.substr(question + 1);

    std::size_t contentLength = 0;
    std::string lower = head;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t lengthAt = lower.find("\r\ncontent-length:");
    if (lengthAt != std::string::npos)
        contentLength = std::strtoul(head.c_str() + lengthAt + 17, nullptr, 10);
    if (contentLength > 1 << 20) return std::nullopt;
    request.body = received.substr(headerEnd + 4);
    while (request.body.size() < contentLength) {
        const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) return std::nullopt;
        request.body.append(chunk, static_cast<std::size_t>(got));
    }
    request.body.resize(contentLength);
    return request;
}

const char* Reason(int status) {
    switch (status) {
    case 200: return "OK";
    case 303: return "See Other";
    case 400: return "Bad Request";
    default: return "Not Found";
    }
}

void SendResponse(int fd, const Response& response) {
    std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) +
                      "\r\nContent-Type: " + response.contentType +
                      "\r\nContent-Length: " + std::to_string(response.body.size()) +
                      "\r\nCache-Control: no-store\r\nConnection: close\r\n";
    if (!response.location.empty()) out += "Location: " + response.location + "\r\n";
    out += "\r\n" + response.body;
    std::size_t sent = 0;
    while (sent < out.size()) {
        const ssize_t written = send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
        if (written <= 0) return;
        sent += static_cast<std::size_t>(written);
    }
}

std::string LocalAddress(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    char text[INET_ADDRSTRLEN] = "";
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return text;
}

void Serve(DemoServer& server, int fd) {
    timeval timeout{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    bool receivedAnything = false;
    if (std::optional<Request> request = ReadRequest(fd, receivedAnything)) {
        request->host = LocalAddress(fd);
        SendResponse(fd, server.Handle(*request));
    } else if (receivedAnything) {
        SendResponse(fd, Response{400, "text/plain; charset=utf-8", "Bad request\n", {}});
    }
    // A connection the browser opened ahead of time and never used is closed without an answer,
    // so that the browser does not take an answer for a request it sends later.
    shutdown(fd, SHUT_WR);
    close(fd);
}

// A listening socket on `address`:`port`; -1 on failure.  `port` gets the port bound.
int Listen(const char* address, int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    bound.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, address, &bound.sin_addr);
    socklen_t length = sizeof bound;
    if (bind(fd, reinterpret_cast<sockaddr*>(&bound), sizeof bound) != 0 || listen(fd, 64) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        close(fd);
        return -1;
    }
    port = ntohs(bound.sin_port);
    return fd;
}

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--other-host") options.otherHost = true;
        else if (option == "--port" && hasValue) options.port = std::atoi(argv[++i]);
        else if (option == "--log" && hasValue) options.logPath = argv[++i];
        else if (option == "--login-delay" && hasValue) options.loginDelayMs = std::atoi(argv[++i]);
        else if (option == "--base" && hasValue) options.base = argv[++i];
        else return std::nullopt;
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: lumatra-demo-server [--port N] [--log FILE] [--login-delay MS] "
                     "[--other-host] [--base PATH]\n";
        return 2;
    }
    int port = options->port;
    std::vector<pollfd> listeners;
    listeners.push_back({Listen("127.0.0.1", port), POLLIN, 0});
    if (options->otherHost) listeners.push_back({Listen("127.0.0.2", port), POLLIN, 0});
    for (const pollfd& listener : listeners) {
        if (listener.fd < 0) {
            std::cerr << "lumatra-demo-server: cannot listen on port " << port << "\n";
            return 1;
        }
    }
    DemoServer server(*options);
    server.SetPort(port);
    std::cout << "http://127.0.0.1:" << port << options->base << std::endl;

    for (;;) {
        if (poll(listeners.data(), listeners.size(), -1) < 0) continue;
        for (pollfd& listener : listeners) {
            if (!(listener.revents & POLLIN)) continue;
            const int client = accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) std::thread(Serve, std::ref(server), client).detach();
        }
    }
}
