#pragma once
// The shell's "open" and the wall clock on Qt.

#include "platform/clock.h"
#include "platform/shell.h"

namespace platform::qt {

// Opens an address with the desktop's handler for it, and a path without a scheme as a file, as
// the shell's "open" does.
class QtShell : public Shell {
public:
    bool Open(const std::string& target) override;
};

class QtClock : public Clock {
public:
    std::int64_t LocalSeconds() override;
};

}  // namespace platform::qt
