#include "platform/cdp/cdp_shell.h"

#include <cctype>
#include <iostream>
#include <string_view>

#include "platform/cdp/cdp.h"
#include "platform/cdp/cdp_browser.h"
#include "platform/text.h"

namespace platform::cdp {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

bool IsWebAddress(std::string_view target) {
    return StartsWithNoCase(target, "http://") || StartsWithNoCase(target, "https://");
}

}  // namespace

bool CdpShell::Open(const std::string& target) {
    if (!IsWebAddress(target)) return fallback_.Open(target);
    const std::string utf8 = text::ToUtf8(target);
    if (!utf8.empty() && link_->HasBrowser() && link_->OpenPage(utf8)) return true;
    if (!warned_) {
        std::cerr << "Lumatra: no Chromium-family browser could open the page (see LUMATRA_BROWSER and "
                     "LUMATRA_CDP_URL); the desktop's browser opens it, where the login form cannot be "
                     "filled in.\n";
        warned_ = true;
    }
    return fallback_.Open(target);
}

BrowserBackends MakeBrowserBackends(std::shared_ptr<BrowserLink> link, Shell& fallback) {
    BrowserBackends backends;
    backends.browser = std::make_unique<CdpBrowser>(link);
    backends.shell = std::make_unique<CdpShell>(std::move(link), fallback);
    return backends;
}

BrowserBackends MakeBrowserBackends(Shell& fallback) {
    return MakeBrowserBackends(BrowserLink::FromEnvironment(), fallback);
}

}  // namespace platform::cdp
