#include "platform/cdp/browser_link.h"

#include <cstdlib>

#include "platform/cdp/websocket.h"

namespace platform::cdp {
namespace {

// Opening a tab waits this long for the browser's answer.
constexpr std::chrono::milliseconds kOpenTimeout{1000};
// Attaching to the user's browser, which runs on this machine.
constexpr std::chrono::milliseconds kAttachTimeout{500};

}  // namespace

std::shared_ptr<BrowserLink> BrowserLink::FromEnvironment() {
    auto link = std::make_shared<BrowserLink>();
    const char* attachUrl = std::getenv("LUMATRA_CDP_URL");
    if (attachUrl && *attachUrl) {
        link->attachUrl_ = attachUrl;
    } else if (const std::optional<std::string> executable = FindBrowserExecutable()) {
        if (const std::optional<std::string> profile = PrepareProfileFolder())
            link->launchPlan_ = MakeLaunchPlan(*executable, *profile);
    }
    return link;
}

BrowserLink::~BrowserLink() { Forget(); }

bool BrowserLink::HasBrowser() const { return attachUrl_ || launchPlan_; }

void BrowserLink::Forget() {
    // Closing the pipe is what ends a browser started with --remote-debugging-pipe.
    if (connection_) connection_->Close();
    connection_.reset();
    process_.reset();
}

std::shared_ptr<Connection> BrowserLink::Live() {
    const bool gone = (connection_ && !connection_->IsOpen()) || (process_ && process_->HasExited());
    if (gone) Forget();
    if (!connection_ && attachUrl_) {
        if (std::unique_ptr<Transport> transport = ConnectWebSocket(*attachUrl_, After(kAttachTimeout)))
            connection_ = std::make_shared<Connection>(std::move(transport));
    }
    return connection_;
}

bool BrowserLink::OpenPage(const std::string& utf8Url) {
    if (const std::shared_ptr<Connection> connection = Live()) {
        const Reply reply = connection->Call("Target.createTarget", {{"url", QString::fromStdString(utf8Url)}},
                                             {}, After(kOpenTimeout));
        return reply.Ok();
    }
    if (!launchPlan_) return false;
    std::unique_ptr<Transport> transport;
    process_ = BrowserProcess::Start(*launchPlan_, utf8Url, transport);
    if (!process_) return false;
    connection_ = std::make_shared<Connection>(std::move(transport));
    return true;
}

}  // namespace platform::cdp
