#pragma once
// The one browser that Lumatra drives, shared by the window scan and the shell's "open": the
// browser it starts itself, or one the user started with a debugging port ($LUMATRA_CDP_URL).

#include <memory>
#include <optional>
#include <string>

#include "platform/cdp/browser_process.h"
#include "platform/cdp/connection.h"

namespace platform::cdp {

class BrowserLink {
public:
    // Reads $LUMATRA_CDP_URL, or finds the browser to start ($LUMATRA_BROWSER, PATH).
    static std::shared_ptr<BrowserLink> FromEnvironment();
    ~BrowserLink();

    // Whether there is a browser to drive at all.
    bool HasBrowser() const;
    // The connection to the running browser; null when none runs.  A browser that has gone
    // (killed, closed by the user) is noticed here and its process reaped.  A browser of the
    // user's is attached again when it is back; Lumatra's own is started only by OpenPage.
    std::shared_ptr<Connection> Live();
    // Opens `utf8Url` in a new tab, starting the browser when it does not run.
    bool OpenPage(const std::string& utf8Url);
    // The process of the browser Lumatra started; null when none runs or the user's is used.
    const BrowserProcess* Process() const { return process_.get(); }

private:
    void Forget();

    std::optional<std::string> attachUrl_;
    std::optional<LaunchPlan> launchPlan_;
    std::unique_ptr<BrowserProcess> process_;
    std::shared_ptr<Connection> connection_;
};

}  // namespace platform::cdp
