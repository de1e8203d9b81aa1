#pragma once
// Files of the program: where it runs, and one small text file read and saved whole.
//
// The backend moves bytes as they are.  Text-mode translation belongs to the file's format and is
// done by the caller, so that a file reads and writes the same on every platform.

#include <string>
#include <string_view>
#include <utility>

#include "platform/errors.h"

namespace platform {

enum class FileErrorCause { NotFound, AccessDenied, SharingViolation, InvalidPath, DiskFull };

// The report text of a cause; %1 stands for the file's path.
constexpr std::string_view FileErrorText(FileErrorCause cause) {
    switch (cause) {
    case FileErrorCause::NotFound: return "%1 was not found.";
    case FileErrorCause::AccessDenied: return "Access to %1 was denied.";
    case FileErrorCause::SharingViolation: return "A sharing violation occurred while accessing %1.";
    case FileErrorCause::InvalidPath: return "%1 contains an invalid path.";
    case FileErrorCause::DiskFull: return "Disk full while accessing %1.";
    }
    return "%1";
}

// A file operation that failed, with why and on which file.  Its report (UserMessage) is the
// cause's text with %1 replaced by the path.
class FileError : public ReportableError {
public:
    FileError(FileErrorCause cause, std::string path)
        : ReportableError(ReportText(cause, path)), m_cause(cause), m_strPath(std::move(path)) {}

    FileErrorCause Cause() const { return m_cause; }
    const std::string& Path() const { return m_strPath; }

private:
    static std::string ReportText(FileErrorCause cause, std::string_view path) {
        const std::string_view text = FileErrorText(cause);
        const std::size_t at = text.find("%1");
        return std::string(text.substr(0, at)).append(path).append(text.substr(at + 2));
    }

    FileErrorCause m_cause;
    std::string m_strPath;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The process's current directory (narrow text), whatever its length.
    virtual std::string CurrentDirectory() = 0;
    // `name` inside `directory`, joined with the platform's separator and nothing else.
    virtual std::string JoinPath(std::string_view directory, std::string_view name) const = 0;

    // The whole content of an existing file, which nobody else may hold open meanwhile (and which
    // nobody else can open while it is read).  Throws FileError.
    virtual std::string ReadContents(const std::string& path) = 0;
    // Makes `bytes` the whole content of the file, creating it when needed.  Either the file holds
    // exactly `bytes` afterwards or it keeps what it held before and FileError is thrown; like a
    // read, the save fails while somebody else holds the file open.
    virtual void SaveContents(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace platform
