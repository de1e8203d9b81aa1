#include <string>

#include "dialogs/para_set.h"
#include "tests/login/login_fixture.h"

namespace lumatra_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SettingsTest : public LoginWindowTest {
protected:
    // The edit of the running settings dialog (valid inside steps).
    std::string ServerEdit() { return m_desktop.ControlText(m_desktop.ActiveDialog()->GetSafeHwnd(), IDC_SERVER); }
    bool SettingsOpen() const {
        return m_desktop.ActiveDialog() != nullptr && m_desktop.ActiveDialog()->TemplateId() == IDD_PARASET;
    }
};

TEST_F(SettingsTest, ShowsTheLoadedUrlAndEnterRightAwayWritesItBackInTheSavedForm) {
    m_files.PutFile(kConfigPath, " http://srv/ crm2.5\t\r\nsecond line\n");
    CParaSet dlg;
    std::string shown;
    m_desktop.Then([&] { shown = ServerEdit(); }).PressEnter();

    EXPECT_EQ(dlg.DoModal(), static_cast<int>(IDOK));
    EXPECT_EQ(shown, "http://srv/crm2.5");
    EXPECT_EQ(dlg.m_strServer, "http://srv/crm2.5");
    EXPECT_EQ(m_files.FileAt(kConfigPath), "http://srv/crm2.5\r\r\n");
}

TEST_F(SettingsTest, EmptyUrlIsRefusedAndTheDialogStaysOpen) {
    CParaSet dlg;
    bool stillOpen = false;
    m_desktop.Type(IDC_SERVER, "").PressEnter().Then([&] { stillOpen = SettingsOpen(); }).PressEscape();

    EXPECT_EQ(dlg.DoModal(), static_cast<int>(IDCANCEL));
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(m_desktop.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_desktop.MessageBoxes()[0].text, N("参数不能为空!"));
    EXPECT_EQ(m_desktop.MessageBoxes()[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(m_files.FileAt(kConfigPath), "http://srv/crm2.5\r\r\n");
}

TEST_F(SettingsTest, ConfirmedUrlIsSavedAsTypedAndTakenOverByTheLoginWindowAtOnce) {
    CLoginDlg login;
    m_desktop.Click(IDC_SETTINGS)
        .Type(IDC_SERVER, " http://new/crm ")
        .PressEnter()
        .Type(IDC_USERNAME, "alice")
        .Click(IDOK)
        .Then([&] { login.EndDialog(IDCANCEL); });

    RunLoginWindow(login);
    EXPECT_EQ(m_files.FileAt(kConfigPath), " http://new/crm \r\r\n");
    EXPECT_EQ(login.m_strServer, " http://new/crm ");
    EXPECT_THAT(m_desktop.Opened(), ElementsAre(" http://new/crm /login/initial.htm"));
}

TEST_F(SettingsTest, EscapeAndCloseBoxChangeNeitherTheFileNorTheLoginWindow) {
    for (bool closeBox : {false, true}) {
        CLoginDlg login;
        m_desktop.Click(IDC_SETTINGS).Type(IDC_SERVER, "http://other/");
        if (closeBox)
            m_desktop.CloseBox();
        else
            m_desktop.PressEscape();
        m_desktop.PressEscape();

        RunLoginWindow(login);
        EXPECT_EQ(login.m_strServer, "http://srv/crm2.5");
        EXPECT_EQ(m_files.FileAt(kConfigPath), "http://srv/crm2.5\r\r\n");
    }
}

TEST_F(SettingsTest, FailedSaveIsReportedAndTheDialogStaysOpen) {
    CLoginDlg login;
    bool stillOpen = false;
    m_files.FailOn(kConfigPath, platform::testing::FileOperation::Save, platform::FileErrorCause::SharingViolation);
    m_desktop.Click(IDC_SETTINGS)
        .Type(IDC_SERVER, "http://new/")
        .PressEnter()
        .Then([&] { stillOpen = SettingsOpen(); })
        .PressEscape()
        .PressEscape();

    RunLoginWindow(login);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(login.m_strServer, "http://srv/crm2.5");
    ASSERT_EQ(m_desktop.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_desktop.MessageBoxes()[0].text,
              "A sharing violation occurred while accessing /home/user/config.ini.");
    EXPECT_EQ(m_desktop.MessageBoxes()[0].icon, platform::MessageIcon::Stop);
    EXPECT_EQ(m_files.FileAt(kConfigPath), "http://srv/crm2.5\r\r\n");
}

TEST_F(SettingsTest, OpeningWithoutConfigFileWritesTheDefaultEvenWhenCancelled) {
    MemoryFiles files("/home/user");
    platform::Install(m_desktop.AsBackends(&ProgramResources(), &m_browser, &files));
    CParaSet dlg;
    std::string shown;
    m_desktop.Then([&] { shown = ServerEdit(); }).PressEscape();

    EXPECT_EQ(dlg.DoModal(), static_cast<int>(IDCANCEL));
    EXPECT_EQ(shown, "http://localhost/crm2.5");
    EXPECT_EQ(files.FileAt(kConfigPath), "http://localhost/crm2.5\r\r\n");
    EXPECT_THAT(m_desktop.MessageBoxes(), IsEmpty());
}

TEST_F(SettingsTest, SingleSpaceIsAcceptedAndTheNextOpeningFallsBackToTheDefault) {
    CParaSet first;
    m_desktop.Type(IDC_SERVER, " ").PressEnter();
    EXPECT_EQ(first.DoModal(), static_cast<int>(IDOK));
    EXPECT_EQ(first.m_strServer, " ");
    EXPECT_EQ(m_files.FileAt(kConfigPath), " \r\r\n");

    CParaSet second;
    m_desktop.PressEscape();
    second.DoModal();
    EXPECT_EQ(second.m_strServer, "http://localhost/crm2.5");
    EXPECT_EQ(m_files.FileAt(kConfigPath), "http://localhost/crm2.5\r\r\n");
}

}  // namespace
}  // namespace lumatra_test
