#pragma once
// The shell's "open" for web addresses: a new tab of the browser Lumatra drives.

#include <memory>
#include <string>

#include "platform/cdp/browser_link.h"
#include "platform/shell.h"

namespace platform::cdp {

class CdpShell : public Shell {
public:
    CdpShell(std::shared_ptr<BrowserLink> link, Shell& fallback) : link_(std::move(link)), fallback_(fallback) {}

    // An http(s) address opens in the driven browser, which is started when it does not run.
    // Anything else, and any address that browser cannot take, goes to the fallback shell.
    bool Open(const std::string& target) override;

private:
    std::shared_ptr<BrowserLink> link_;
    Shell& fallback_;
    bool warned_ = false;
};

}  // namespace platform::cdp
