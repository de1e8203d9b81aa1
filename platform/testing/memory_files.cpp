#include "platform/testing/memory_files.h"

namespace platform::testing {

MemoryFiles::MemoryFiles(std::string currentDirectory, char separator)
    : m_strCurrentDirectory(std::move(currentDirectory)), m_separator(separator) {}

std::optional<std::string> MemoryFiles::FileAt(const std::string& path) const {
    const auto found = m_files.find(path);
    if (found == m_files.end()) return std::nullopt;
    return found->second;
}

void MemoryFiles::FailOn(const std::string& path, FileOperation operation, FileErrorCause cause) {
    m_failures[{path, operation}] = cause;
}

std::string MemoryFiles::JoinPath(std::string_view directory, std::string_view name) const {
    return std::string(directory).append(1, m_separator).append(name);
}

std::string MemoryFiles::ReadContents(const std::string& path) {
    Request(FileOperation::Read, path);
    const auto found = m_files.find(path);
    if (found == m_files.end()) throw FileError(FileErrorCause::NotFound, path);
    return found->second;
}

void MemoryFiles::SaveContents(const std::string& path, std::string_view bytes) {
    Request(FileOperation::Save, path);
    m_files[path] = std::string(bytes);
}

void MemoryFiles::Request(FileOperation operation, const std::string& path) {
    m_requests.push_back({operation, path});
    const auto failure = m_failures.find({path, operation});
    if (failure != m_failures.end()) throw FileError(failure->second, path);
}

}  // namespace platform::testing
