// config.ini on the real file system, through the POSIX backend: exact bytes on disk, saves that
// never destroy the old file, the failures the user sees, and current directories of any length.

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "config/config.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/posix/posix_files.h"
#include "server_dialog.h"

namespace config_test {
namespace {

namespace fs = std::filesystem;
using platform::FileError;

constexpr uid_t kNobody = 65534;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Names(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename());
    return names;
}

// The report of a load: the URL it gave, and the text of the error that left it, if any.
std::string LoadReport() {
    ServerDialog dialog;
    std::string error;
    try {
        LoadServerUrl(dialog, dialog.m_strServer);
    } catch (const FileError& e) {
        error = e.UserMessage();
    }
    return dialog.m_strServer + "|" + error;
}

std::string SaveReport(const std::string& url) {
    try {
        SaveServerUrl(url);
        return "saved";
    } catch (const FileError& e) {
        return e.UserMessage();
    }
}

// Runs `action` as an unprivileged user, so that file permissions hold even for tests run as root,
// and gives what it reports.
std::string RunUnprivileged(const std::function<std::string()>& action) {
    if (::geteuid() != 0) return action();
    int channel[2];
    if (::pipe(channel) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        const std::string report = dropped ? action() : "cannot drop privileges";
        const bool sent = ::write(channel[1], report.data(), report.size()) == static_cast<ssize_t>(report.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[512];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(got));
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return report;
}

class PosixConfigTest : public ::testing::Test {
protected:
    PosixConfigTest() : m_previous(platform::Install({.files = &m_files})), m_original(fs::current_path()) {
        std::string pattern = (fs::temp_directory_path() / "lumatra-config-XXXXXX").string();
        m_root = ::mkdtemp(pattern.data());
        // Open to the unprivileged user of RunUnprivileged.
        fs::permissions(m_root, fs::perms(0755));
        fs::current_path(m_root);
    }
    ~PosixConfigTest() override {
        fs::current_path(m_original);
        for (const auto& entry : fs::recursive_directory_iterator(m_root))
            if (entry.is_directory()) fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_root);
        platform::Install(m_previous);
    }

    fs::path ConfigFile() const { return m_root / "config.ini"; }

    platform::posix::PosixFiles m_files;
    platform::Backends m_previous;
    fs::path m_original;
    fs::path m_root;
};

TEST_F(PosixConfigTest, SaveReplacesTheWholeFileWithExactlyTheLine) {
    WriteBytes(ConfigFile(), "http://a-much-longer-old-server-address/crm2.5\r\r\nsecond line\r\n");
    fs::permissions(ConfigFile(), fs::perms(0640));

    SaveServerUrl("http://srv/crm2.5");

    EXPECT_EQ(ReadBytes(ConfigFile()), "http://srv/crm2.5\r\r\n");
    EXPECT_EQ(fs::status(ConfigFile()).permissions(), fs::perms(0640));
    EXPECT_EQ(Names(m_root), std::vector<std::string>{"config.ini"});
    EXPECT_EQ(LoadReport(), "http://srv/crm2.5|");
    EXPECT_EQ(ReadBytes(ConfigFile()), "http://srv/crm2.5\r\r\n");
}

TEST_F(PosixConfigTest, MissingFileIsCreatedWithTheDefaultLine) {
    EXPECT_EQ(LoadReport(), std::string(DEFAULT_SERVER_URL) + "|");

    EXPECT_EQ(ReadBytes(ConfigFile()), std::string(DEFAULT_SERVER_URL) + "\r\r\n");
    EXPECT_EQ(Names(m_root), std::vector<std::string>{"config.ini"});
}

TEST_F(PosixConfigTest, FileHeldOpenElsewhereFallsBackAndTheSaveReportsASharingViolation) {
    WriteBytes(ConfigFile(), "http://old\r\r\n");
    // A lock belongs to its open file description, so this one holds the file like another process.
    const int holder = ::open(ConfigFile().c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);

    const std::string report = LoadReport();
    ::close(holder);

    EXPECT_EQ(report, std::string(DEFAULT_SERVER_URL) + "|A sharing violation occurred while accessing " +
                          ConfigFile().string() + ".");
    EXPECT_EQ(ReadBytes(ConfigFile()), "http://old\r\r\n");
    EXPECT_EQ(Names(m_root), std::vector<std::string>{"config.ini"});
}

TEST_F(PosixConfigTest, UnreadableFileFallsBackAndItsSaveIsDeniedLeavingTheFile) {
    WriteBytes(ConfigFile(), "http://old\r\r\n");
    fs::permissions(ConfigFile(), fs::perms::none);

    EXPECT_EQ(RunUnprivileged(LoadReport),
              std::string(DEFAULT_SERVER_URL) + "|Access to " + ConfigFile().string() + " was denied.");
    EXPECT_EQ(ReadBytes(ConfigFile()), "http://old\r\r\n");
}

TEST_F(PosixConfigTest, FolderWithoutWriteAccessDeniesTheSaveAndKeepsTheOldFile) {
    WriteBytes(ConfigFile(), "http://old\r\r\nsecond line\r\n");
    // The file itself may be written: only the folder refuses a new file beside it.
    fs::permissions(ConfigFile(), fs::perms(0666));
    fs::permissions(m_root, fs::perms(0555));

    EXPECT_EQ(RunUnprivileged([] { return SaveReport("http://new"); }),
              "Access to " + ConfigFile().string() + " was denied.");
    EXPECT_EQ(ReadBytes(ConfigFile()), "http://old\r\r\nsecond line\r\n");
    EXPECT_EQ(Names(m_root), std::vector<std::string>{"config.ini"});
}

TEST_F(PosixConfigTest, MissingFolderIsAnInvalidPath) {
    const std::string path = (m_root / "gone" / "config.ini").string();
    try {
        m_files.SaveContents(path, "http://srv\r\r\n");
        ADD_FAILURE() << "the save into a missing folder succeeded";
    } catch (const FileError& error) {
        EXPECT_EQ(error.UserMessage(), path + " contains an invalid path.");
    }
}

TEST_F(PosixConfigTest, CurrentDirectoryOfAnyLengthIsUsedWhole) {
    fs::path deep = m_root;
    for (int level = 0; level < 7; ++level) deep /= std::string(100, static_cast<char>('a' + level));
    fs::create_directories(deep);
    fs::current_path(deep);
    ASSERT_GT(deep.string().size(), 700u);

    EXPECT_EQ(GetConfigPath(), (deep / "config.ini").string());
    EXPECT_EQ(LoadReport(), std::string(DEFAULT_SERVER_URL) + "|");
    EXPECT_EQ(ReadBytes(deep / "config.ini"), std::string(DEFAULT_SERVER_URL) + "\r\r\n");
}

TEST_F(PosixConfigTest, RemovedCurrentDirectoryIsStillTheOneUsed) {
    const fs::path removed = m_root / "removed";
    fs::create_directory(removed);
    fs::current_path(removed);
    fs::remove(removed);

    EXPECT_EQ(GetConfigPath(), "./config.ini");
    EXPECT_EQ(LoadReport(), std::string(DEFAULT_SERVER_URL) + "|./config.ini contains an invalid path.");
    EXPECT_EQ(Names(m_root), std::vector<std::string>{});
}

}  // namespace
}  // namespace config_test
