#pragma once
// The local wall clock at whole-second resolution.

#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds of local time since some fixed epoch; only differences are used.
    virtual std::int64_t LocalSeconds() = 0;
};

}  // namespace platform
