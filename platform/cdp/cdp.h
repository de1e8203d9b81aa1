#pragma once
// The browser backend over the DevTools protocol: the open pages of a Chromium-family browser,
// and the shell's "open" of web addresses in that browser.

#include <memory>

#include "platform/browser.h"
#include "platform/shell.h"

namespace platform::cdp {

class BrowserLink;

struct BrowserBackends {
    std::unique_ptr<Browser> browser;
    // Opens web addresses in the driven browser, everything else with the fallback shell.
    std::unique_ptr<Shell> shell;
};

// The backends for the browser the environment names ($LUMATRA_CDP_URL, $LUMATRA_BROWSER, PATH).
// `fallback` is the desktop's own shell; it must outlive the shell given here.
BrowserBackends MakeBrowserBackends(Shell& fallback);
BrowserBackends MakeBrowserBackends(std::shared_ptr<BrowserLink> link, Shell& fallback);

}  // namespace platform::cdp
