// config.ini over the in-memory file system: what a load makes of the file's bytes, what a save
// writes, and which failures are swallowed and which are reported.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config/config.h"
#include "platform/platform.h"
#include "platform/testing/memory_files.h"
#include "server_dialog.h"

namespace config_test {
namespace {

using platform::FileError;
using platform::FileErrorCause;
using platform::testing::FileOperation;
using platform::testing::FileRequest;
using platform::testing::MemoryFiles;

const std::string kPath = "/home/user/config.ini";
const std::string kDefaultFile = std::string(DEFAULT_SERVER_URL) + "\r\r\n";

class ConfigTest : public ::testing::Test {
protected:
    ConfigTest() : m_previous(platform::Install({.files = &m_files})) {}
    ~ConfigTest() override { platform::Install(m_previous); }

    std::vector<FileRequest> ReadOnly() const { return {{FileOperation::Read, kPath}}; }
    std::vector<FileRequest> ReadThenSave() const {
        return {{FileOperation::Read, kPath}, {FileOperation::Save, kPath}};
    }

    MemoryFiles m_files{"/home/user"};
    ServerDialog m_dialog;
    platform::Backends m_previous;
};

// --- Loading ------------------------------------------------------------------------------------

struct LoadCase {
    const char* name;
    std::optional<std::string> file;  // nullopt: there is no config.ini
    std::string url;                  // what the load gives
    bool rewritten;                   // true: the file then holds the default line, and only that
};

class LoadTest : public ConfigTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadTest, GivesTheFirstLinesUrlAndWritesOnlyTheDefault) {
    const LoadCase& c = GetParam();
    if (c.file) m_files.PutFile(kPath, *c.file);

    LoadServerUrl(m_dialog, m_dialog.m_strServer);

    EXPECT_EQ(m_dialog.m_strServer, c.url);
    EXPECT_EQ(m_dialog.m_strEdit, c.url);
    EXPECT_EQ(m_files.Requests(), c.rewritten ? ReadThenSave() : ReadOnly());
    EXPECT_EQ(m_files.FileAt(kPath), c.rewritten ? kDefaultFile : c.file);
}

const std::string kLong(5000, 'x');

INSTANTIATE_TEST_SUITE_P(
    FileContents, LoadTest,
    ::testing::Values(
        LoadCase{"Missing", std::nullopt, DEFAULT_SERVER_URL, true},
        LoadCase{"Empty", "", DEFAULT_SERVER_URL, true},
        LoadCase{"OnlyBlanksThenMoreLines", " \t\r \r\nhttp://second/line\r\r\n", DEFAULT_SERVER_URL, true},
        LoadCase{"EmptyFirstLineThenUrl", "\r\nhttp://second/line", DEFAULT_SERVER_URL, true},
        LoadCase{"BlanksInsideAndAround", " \thttp:// srv\t/crm\r2.5 \t\r\r\n", "http://srv/crm2.5", false},
        LoadCase{"WrittenBySave", "http://srv/crm2.5\r\r\n", "http://srv/crm2.5", false},
        LoadCase{"EndedByLf", "http://srv/crm2.5\n", "http://srv/crm2.5", false},
        LoadCase{"EndedByCrLf", "http://srv/crm2.5\r\n", "http://srv/crm2.5", false},
        LoadCase{"EndedByEndOfFile", "http://srv/crm2.5", "http://srv/crm2.5", false},
        LoadCase{"LoneCrIsNoLineEnd", "http://srv\rcrm2.5", "http://srvcrm2.5", false},
        LoadCase{"EndOfTextByte", "http://srv\x1A/crm2.5\r\n", "http://srv", false},
        LoadCase{"EndOfTextByteFirst", "\x1Ahttp://srv/crm2.5", DEFAULT_SERVER_URL, true},
        LoadCase{"NulByte", std::string("http://srv\0/crm2.5\r\n", 20), "http://srv", false},
        LoadCase{"NulByteFirst", std::string("\0http://srv\r\n", 13), DEFAULT_SERVER_URL, true},
        LoadCase{"Utf8ByteOrderMarkStays", "\xEF\xBB\xBFhttp://srv\r\n", "\xEF\xBB\xBFhttp://srv", false},
        LoadCase{"FurtherLinesKept", "http://srv/crm2.5\r\r\nsecond line\r\nthird", "http://srv/crm2.5", false},
        LoadCase{"OtherWhiteSpaceAndCaseStay", "HTTP://Srv\v\f/crm/\r\n", "HTTP://Srv\v\f/crm/", false},
        LoadCase{"GbkBytesUnchanged", "http://\xBD\xF8\xCF\xFA/crm\r\r\n", "http://\xBD\xF8\xCF\xFA/crm", false},
        LoadCase{"LongLineReadWhole", kLong + "\r\r\n", kLong, false}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(ConfigTest, UnreadableFileKeepsTheCallersValueAndWritesNothing) {
    m_files.PutFile(kPath, "http://srv/crm2.5\r\r\n");
    m_files.FailOn(kPath, FileOperation::Read, FileErrorCause::SharingViolation);
    m_dialog.m_strServer = "http://before";

    LoadServerUrl(m_dialog, m_dialog.m_strServer);

    EXPECT_EQ(m_dialog.m_strServer, "http://before");
    EXPECT_TRUE(m_dialog.m_exchanges.empty());
    EXPECT_EQ(m_files.Requests(), ReadOnly());
}

TEST_F(ConfigTest, EveryReadFailureFallsBackToTheDefaultSilently) {
    for (const FileErrorCause cause : {FileErrorCause::NotFound, FileErrorCause::AccessDenied,
                                       FileErrorCause::SharingViolation, FileErrorCause::InvalidPath,
                                       FileErrorCause::DiskFull}) {
        MemoryFiles files("/home/user");
        files.PutFile(kPath, "http://srv/crm2.5\r\r\n");
        files.FailOn(kPath, FileOperation::Read, cause);
        platform::Install({.files = &files});
        std::string server;

        EXPECT_NO_THROW(LoadServerUrl(m_dialog, server));

        EXPECT_EQ(server, DEFAULT_SERVER_URL);
        EXPECT_EQ(files.FileAt(kPath), kDefaultFile);
    }
}

TEST_F(ConfigTest, DefaultIsShownBeforeItsSaveFailsAndTheFailureLeavesTheLoad) {
    m_files.PutFile(kPath, "\r\n");
    m_files.FailOn(kPath, FileOperation::Read, FileErrorCause::SharingViolation);
    m_files.FailOn(kPath, FileOperation::Save, FileErrorCause::SharingViolation);

    try {
        LoadServerUrl(m_dialog, m_dialog.m_strServer);
        ADD_FAILURE() << "the failed save did not leave the load";
    } catch (const FileError& error) {
        EXPECT_EQ(error.UserMessage(), "A sharing violation occurred while accessing /home/user/config.ini.");
    }

    EXPECT_EQ(m_dialog.m_strServer, DEFAULT_SERVER_URL);
    const std::vector<Exchange> exchanges = {{true, ""}, {false, DEFAULT_SERVER_URL}};
    EXPECT_EQ(m_dialog.m_exchanges, exchanges);
    EXPECT_EQ(m_files.FileAt(kPath), "\r\n");
}

TEST_F(ConfigTest, BlankFirstLineRunsTheExchangeForTheLineAndAgainForTheDefault) {
    m_files.PutFile(kPath, " \t\r\n");
    m_dialog.m_strEdit = "typed";

    LoadServerUrl(m_dialog, m_dialog.m_strServer);

    const std::vector<Exchange> exchanges = {
        {true, "typed"}, {false, ""}, {true, ""}, {false, DEFAULT_SERVER_URL}};
    EXPECT_EQ(m_dialog.m_exchanges, exchanges);
}

// --- Saving -------------------------------------------------------------------------------------

struct SaveCase {
    const char* name;
    std::string url;
    std::string file;
};

class SaveTest : public ConfigTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveTest, WritesTheUrlThroughTextModeReplacingTheWholeFile) {
    const SaveCase& c = GetParam();
    m_files.PutFile(kPath, "http://a-much-longer-old-server-address/crm2.5\r\r\nsecond line\r\n");

    SaveServerUrl(c.url);

    EXPECT_EQ(m_files.FileAt(kPath), c.file);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, SaveTest,
    ::testing::Values(SaveCase{"Plain", "http://srv/crm2.5", "http://srv/crm2.5\r\r\n"},
                      SaveCase{"BlanksKept", " http://srv/crm2.5 ", " http://srv/crm2.5 \r\r\n"},
                      SaveCase{"InnerLfBecomesCrLf", "http://a\nb", "http://a\r\nb\r\r\n"},
                      SaveCase{"GbkBytesUnchanged", "http://\xBD\xF8/crm", "http://\xBD\xF8/crm\r\r\n"},
                      SaveCase{"Empty", "", "\r\r\n"}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(ConfigTest, SavedBlanksAreRemovedByTheNextLoadWithoutRewriting) {
    SaveServerUrl(" http://srv/crm2.5 ");

    LoadServerUrl(m_dialog, m_dialog.m_strServer);

    EXPECT_EQ(m_dialog.m_strServer, "http://srv/crm2.5");
    EXPECT_EQ(m_files.FileAt(kPath), " http://srv/crm2.5 \r\r\n");
}

struct SaveFailureCase {
    FileErrorCause cause;
    std::string message;
};

TEST_F(ConfigTest, FailedSaveReportsTheCauseWithThePathAndKeepsTheFile) {
    const SaveFailureCase cases[] = {
        {FileErrorCause::AccessDenied, "Access to /home/user/config.ini was denied."},
        {FileErrorCause::SharingViolation, "A sharing violation occurred while accessing /home/user/config.ini."},
        {FileErrorCause::InvalidPath, "/home/user/config.ini contains an invalid path."},
        {FileErrorCause::DiskFull, "Disk full while accessing /home/user/config.ini."},
    };
    for (const SaveFailureCase& c : cases) {
        m_files.PutFile(kPath, "http://old\r\r\n");
        m_files.StopFailing();
        m_files.FailOn(kPath, FileOperation::Save, c.cause);
        try {
            SaveServerUrl("http://new");
            ADD_FAILURE() << c.message << " was not reported";
        } catch (const platform::ReportableError& error) {
            EXPECT_EQ(error.UserMessage(), c.message);
        }
        EXPECT_EQ(m_files.FileAt(kPath), "http://old\r\r\n");
    }
}

// --- The path -----------------------------------------------------------------------------------

TEST_F(ConfigTest, PathIsTheCurrentDirectoryAndTheFileNameJoinedByTheSeparator) {
    EXPECT_EQ(GetConfigPath(), "/home/user/config.ini");

    const std::string longDirectory = "/" + std::string(300, 'd');
    m_files.SetCurrentDirectory(longDirectory);
    EXPECT_EQ(GetConfigPath(), longDirectory + "/config.ini");
}

TEST_F(ConfigTest, AtADriveRootThePathHoldsTwoSeparatorsInARow) {
    MemoryFiles windowsFiles("C:\\", '\\');
    platform::Install({.files = &windowsFiles});

    SaveServerUrl("http://srv");

    EXPECT_EQ(GetConfigPath(), "C:\\\\config.ini");
    EXPECT_EQ(windowsFiles.FileAt("C:\\\\config.ini"), "http://srv\r\r\n");
}

}  // namespace
}  // namespace config_test
