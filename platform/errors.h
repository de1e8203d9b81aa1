#pragma once
// Failures that may escape a message handler and are then reported to the user.

#include <stdexcept>
#include <string>

namespace platform {

// An error whose report is a ready text (narrow), for instance a file error naming its path.
class ReportableError : public std::runtime_error {
public:
    explicit ReportableError(const std::string& message) : std::runtime_error(message) {}
    // The text the report shows.
    virtual std::string UserMessage() const { return what(); }
};

// The text reported for memory exhaustion.
inline constexpr const char* kOutOfMemoryText = "Out of memory.";

}  // namespace platform
