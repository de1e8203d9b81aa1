#pragma once
// The desktop shell's "open": a web address in the browser.

#include <string>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    // Opens `target` (narrow text) the way the desktop opens it; false when nothing could.
    virtual bool Open(const std::string& target) = 0;
};

}  // namespace platform
