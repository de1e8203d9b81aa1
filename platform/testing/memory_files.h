#pragma once
// An in-memory file system for the unit tests: files by path, a current directory, a separator,
// failures on demand, and a record of what was asked of it.

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"

namespace platform::testing {

enum class FileOperation { Read, Save };

struct FileRequest {
    FileOperation operation;
    std::string path;
    bool operator==(const FileRequest&) const = default;
};

class MemoryFiles : public FileSystem {
public:
    explicit MemoryFiles(std::string currentDirectory = "/home/user", char separator = '/');

    void SetCurrentDirectory(std::string directory) { m_strCurrentDirectory = std::move(directory); }
    void PutFile(const std::string& path, std::string bytes) { m_files[path] = std::move(bytes); }
    // The file's bytes, or nullopt when there is no such file.
    std::optional<std::string> FileAt(const std::string& path) const;

    // From now on every `operation` on `path` fails with `cause` and leaves the file as it is.
    void FailOn(const std::string& path, FileOperation operation, FileErrorCause cause);
    void StopFailing() { m_failures.clear(); }

    // Every read and save asked for, in order, failed ones included.
    const std::vector<FileRequest>& Requests() const { return m_requests; }

    std::string CurrentDirectory() override { return m_strCurrentDirectory; }
    std::string JoinPath(std::string_view directory, std::string_view name) const override;
    std::string ReadContents(const std::string& path) override;
    void SaveContents(const std::string& path, std::string_view bytes) override;

private:
    // Records the request and throws the failure set for it, if any.
    void Request(FileOperation operation, const std::string& path);

    std::string m_strCurrentDirectory;
    char m_separator;
    std::map<std::string, std::string> m_files;
    std::map<std::pair<std::string, FileOperation>, FileErrorCause> m_failures;
    std::vector<FileRequest> m_requests;
};

}  // namespace platform::testing
