#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace platform::posix {
namespace {

// O_NONBLOCK keeps a FIFO in the file's place from hanging the window; regular files ignore it.
constexpr int kOpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
constexpr unsigned kMaxNameAttempts = 100;

// What a failing call was doing: it decides the cause of the errors that say little by themselves.
enum class Step { OpenExisting, Create, Transfer };

FileErrorCause CauseOf(int error, Step step) {
    switch (error) {
    case ENOENT: return step == Step::OpenExisting ? FileErrorCause::NotFound : FileErrorCause::InvalidPath;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return FileErrorCause::InvalidPath;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return FileErrorCause::AccessDenied;
    case EWOULDBLOCK:
    case EBUSY:
    case ETXTBSY: return FileErrorCause::SharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return FileErrorCause::DiskFull;
    default: return step == Step::Transfer ? FileErrorCause::DiskFull : FileErrorCause::AccessDenied;
    }
}

[[noreturn]] void Fail(const std::string& path, Step step, int error) {
    throw FileError(CauseOf(error, step), path);
}

[[noreturn]] void Fail(const std::string& path, Step step) { Fail(path, step, errno); }

// An open file descriptor, closed when it goes.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(Descriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&&) = delete;
    ~Descriptor() { Close(); }

    void Reset(int fd) {
        Close();
        m_fd = fd;
    }
    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    // Gives close's result: a failing close may be the first report of a failed write.
    int Close() {
        const int result = IsOpen() ? ::close(m_fd) : 0;
        m_fd = -1;
        return result;
    }

private:
    int m_fd = -1;
};

// Takes the file for this process alone, as long as the descriptor stays open.
void LockExclusively(const Descriptor& file, const std::string& path, Step step) {
    if (::flock(file.Get(), LOCK_EX | LOCK_NB) != 0) Fail(path, step);
}

Descriptor OpenLocked(const std::string& path, int flags, Step step) {
    Descriptor file(::open(path.c_str(), flags | kOpenFlags));
    if (!file.IsOpen()) Fail(path, step);
    LockExclusively(file, path, step);
    return file;
}

// The file that a save replaces, held so that nobody else opens it meanwhile; none when there is
// no such file yet.  Opening it for writing refuses a save over a file that may not be written.
Descriptor HoldExisting(const std::string& path) {
    Descriptor file(::open(path.c_str(), O_WRONLY | kOpenFlags));
    if (file.IsOpen()) {
        LockExclusively(file, path, Step::Create);
    } else if (errno != ENOENT) {
        Fail(path, Step::Create);
    }
    return file;
}

// A new file beside the target, removed again unless it is put in the target's place.
// Its failures are reported on the target, the only file the user knows of.
class Replacement {
public:
    explicit Replacement(const std::string& target) : m_strTarget(target) {
        for (unsigned attempt = 0; !m_file.IsOpen(); ++attempt) {
            m_strPath = target + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
            m_file.Reset(::open(m_strPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | kOpenFlags, 0666));
            if (!m_file.IsOpen() && (errno != EEXIST || attempt == kMaxNameAttempts))
                Fail(m_strTarget, Step::Create);
        }
    }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;
    ~Replacement() {
        if (!m_bPlaced) ::unlink(m_strPath.c_str());
    }

    void TakeModeOf(const Descriptor& original) {
        struct stat status {};
        if (::fstat(original.Get(), &status) != 0 || ::fchmod(m_file.Get(), status.st_mode & 07777) != 0)
            Fail(m_strTarget, Step::Create);
    }

    void Write(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t written = ::write(m_file.Get(), bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) Fail(m_strTarget, Step::Transfer, written == 0 ? ENOSPC : errno);
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    // Puts the file in the target's place once its content is on the disk.
    void PutInPlace() {
        if (::fsync(m_file.Get()) != 0 || m_file.Close() != 0) Fail(m_strTarget, Step::Transfer);
        if (::rename(m_strPath.c_str(), m_strTarget.c_str()) != 0) Fail(m_strTarget, Step::Transfer);
        m_bPlaced = true;
    }

private:
    std::string m_strTarget;
    std::string m_strPath;
    Descriptor m_file;
    bool m_bPlaced = false;
};

}  // namespace

std::string PosixFiles::CurrentDirectory() {
    std::string buffer(256, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        // Without a name for it (removed, or beyond what the system reports), "." still names the
        // current directory for every later file operation.
        if (errno != ERANGE) return ".";
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

std::string PosixFiles::JoinPath(std::string_view directory, std::string_view name) const {
    return std::string(directory).append("/").append(name);
}

std::string PosixFiles::ReadContents(const std::string& path) {
    const Descriptor file = OpenLocked(path, O_RDONLY, Step::OpenExisting);
    std::string contents;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) Fail(path, Step::Transfer);
        if (got == 0) return contents;
        contents.append(buffer, static_cast<std::size_t>(got));
    }
}

void PosixFiles::SaveContents(const std::string& path, std::string_view bytes) {
    const Descriptor existing = HoldExisting(path);
    Replacement replacement(path);
    if (existing.IsOpen()) replacement.TakeModeOf(existing);
    replacement.Write(bytes);
    replacement.PutInPlace();
}

}  // namespace platform::posix
