#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "tests/login/login_fixture.h"

namespace lumatra_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Strings = std::vector<std::string>;

// A browser that, in the middle of its first scan, lets the test act as a nested event loop
// would: a tray command or a timer tick then arrives while the scan is still under way.
class InterruptingBrowser : public platform::Browser {
public:
    InterruptingBrowser(platform::Browser& inner, std::function<void()> interruption)
        : m_inner(inner), m_interruption(std::move(interruption)) {}

    std::unique_ptr<platform::BrowserWindowList> OpenWindows() override {
        ++scans;
        if (m_interruption) std::exchange(m_interruption, nullptr)();
        return m_inner.OpenWindows();
    }

    int scans = 0;

private:
    platform::Browser& m_inner;
    std::function<void()> m_interruption;
};


TEST_F(LoginWindowTest, LoginRunsFromTypingToASubmittedForm) {
    CLoginDlg dlg;
    bool visibleAfterLogin = true;
    m_browser.windows = {LoginPage()};
    m_desktop.Type(IDC_USERNAME, "alice")
        .Type(IDC_PASSWORD, "secret")
        .Click(IDOK)
        .Then([&] { visibleAfterLogin = Window(dlg).visible; })
        .TickTimer();
    ChooseFromTrayMenu(ID_TRAY_EXIT);

    EXPECT_EQ(RunLoginWindow(dlg), static_cast<int>(IDOK));
    EXPECT_THAT(m_desktop.Opened(), ElementsAre("http://srv/crm2.5/login/initial.htm"));
    EXPECT_FALSE(visibleAfterLogin);
    EXPECT_THAT(m_browser.log, ElementsAre("login: username = alice", "login: password = secret",
                                           "login: submit form 0"));
}

TEST_F(LoginWindowTest, LoginPageUrlIsThePlainConcatenationOfTheBaseUrl) {
    const struct {
        const char* configLine;
        const char* opened;
    } cases[] = {
        {"http://srv/crm2.5\r\r\n", "http://srv/crm2.5/login/initial.htm"},
        {"http://srv/crm2.5/\r\r\n", "http://srv/crm2.5//login/initial.htm"},
        {"http://srv\n", "http://srv/login/initial.htm"},
    };
    for (const auto& c : cases) {
        FakeDesktop desktop;
        platform::Install(desktop.AsBackends(&ProgramResources(), &m_browser, &m_files));
        m_files.PutFile(kConfigPath, c.configLine);
        CLoginDlg dlg;
        m_app.m_pMainWnd = &dlg;
        desktop.Type(IDC_USERNAME, "alice").PressEnter().Then([&] { dlg.EndDialog(IDCANCEL); });
        dlg.DoModal();
        EXPECT_THAT(desktop.Opened(), ElementsAre(c.opened)) << c.configLine;
    }
}

TEST_F(LoginWindowTest, EmptyUserNameIsRefusedWithAMessageAndTheWindowStays) {
    CLoginDlg dlg;
    bool visible = false;
    m_desktop.Type(IDC_PASSWORD, "secret").Click(IDOK).Then([&] { visible = Window(dlg).visible; }).PressEscape();

    EXPECT_EQ(RunLoginWindow(dlg), static_cast<int>(IDCANCEL));
    ASSERT_EQ(m_desktop.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_desktop.MessageBoxes()[0].text, N("用户名不能为空!"));
    EXPECT_EQ(m_desktop.MessageBoxes()[0].caption, "Lumatra");
    EXPECT_EQ(m_desktop.MessageBoxes()[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_THAT(m_desktop.Opened(), IsEmpty());
    EXPECT_TRUE(visible);
    EXPECT_EQ(dlg.m_strUser, "");
    EXPECT_EQ(dlg.m_strPassword, "secret");
}

TEST_F(LoginWindowTest, UserNameOfBlanksWithEmptyPasswordIsAccepted) {
    CLoginDlg dlg;
    m_desktop.Type(IDC_USERNAME, "   ").PressEnter();
    ChooseFromTrayMenu(ID_TRAY_EXIT);

    RunLoginWindow(dlg);
    EXPECT_THAT(m_desktop.MessageBoxes(), IsEmpty());
    EXPECT_THAT(m_desktop.Opened(), ElementsAre("http://srv/crm2.5/login/initial.htm"));
    EXPECT_EQ(dlg.m_strUser, "   ");
    EXPECT_EQ(dlg.m_strPassword, "");
}

TEST_F(LoginWindowTest, CancelEscapeAndCloseBoxEndAtOnceWithoutScanAndRemoveTheTrayIcon) {
    for (int way = 0; way < 3; ++way) {
        {
            CLoginDlg dlg;
            m_browser.windows = {ApplicationPage()};
            if (way == 0) m_desktop.Click(IDCANCEL);
            if (way == 1) m_desktop.PressEscape();
            if (way == 2) m_desktop.CloseBox();
            EXPECT_EQ(RunLoginWindow(dlg), static_cast<int>(IDCANCEL));
            EXPECT_NE(m_desktop.TrayIcon(IDR_TRAYMENU), nullptr);
        }
        EXPECT_EQ(m_desktop.TrayIcon(IDR_TRAYMENU), nullptr);
        EXPECT_THAT(m_browser.log, IsEmpty());
    }
}

TEST_F(LoginWindowTest, OpensWithIconsSystemMenuItemTrayIconAndTimer) {
    CLoginDlg dlg;
    FakeDesktop::WindowState seen;
    m_desktop.Then([&] { seen = Window(dlg); }).PressEscape();
    RunLoginWindow(dlg);

    EXPECT_EQ(seen.bigIcon, FakeDesktop::ResourceIcon(IDI_TRAY1));
    EXPECT_EQ(seen.smallIcon, FakeDesktop::ResourceIcon(IDI_TRAY1));
    EXPECT_EQ(seen.systemMenu, (std::vector<std::pair<unsigned, std::string>>{
                                   {0u, ""}, {IDM_ABOUTBOX, N("关于 Lumatra(&A)...")}}));
    EXPECT_EQ(seen.timers.at(1), 500u);
    EXPECT_EQ(dlg.m_strServer, "http://srv/crm2.5");
    ASSERT_GE(m_desktop.NotifyCalls().size(), 1u);
    const platform::NotifyIconData& added = m_desktop.NotifyCalls()[0].data;
    EXPECT_EQ(m_desktop.NotifyCalls()[0].action, platform::NotifyAction::Add);
    EXPECT_EQ(added.uID, static_cast<unsigned>(IDR_TRAYMENU));
    EXPECT_EQ(added.uCallbackMessage, WM_TRAY_NOTIFY);
    EXPECT_EQ(std::string(added.szTip), N("Kelvaro进销存"));
}

TEST_F(LoginWindowTest, TimerScansBeforeLoginButFillsNothingWhileTheUserNameIsEmpty) {
    CLoginDlg dlg;
    m_browser.windows = {LoginPage()};
    m_desktop.TickTimer().TickTimer().PressEscape();
    RunLoginWindow(dlg);
    EXPECT_THAT(m_browser.log, IsEmpty());
}

TEST_F(LoginWindowTest, ReloginDrivesTheApplicationToShutdownForOneScanAndShowsTheWindow) {
    CLoginDlg dlg;
    bool visibleAfterRelogin = false;
    std::string modeAfterRelogin = "unset";
    m_browser.windows = {ApplicationPage()};
    m_desktop.Type(IDC_USERNAME, "alice").Type(IDC_PASSWORD, "secret").Click(IDOK);
    ChooseFromTrayMenu(ID_TRAY_RELOGIN);
    m_desktop
        .Then([&] {
            visibleAfterRelogin = Window(dlg).visible;
            modeAfterRelogin = dlg.m_strMode;
        })
        .TickTimer()
        .PressEscape();

    RunLoginWindow(dlg);
    EXPECT_TRUE(visibleAfterRelogin);
    EXPECT_EQ(modeAfterRelogin, "");
    // One navigation in the re-login scan; the timer's scan afterwards leaves the page alone.
    EXPECT_THAT(m_browser.log, ElementsAre("app: navigate http://srv/crm2.5/login/shutdown.php"));
    EXPECT_EQ(dlg.m_strUser, "alice");
    EXPECT_EQ(dlg.m_strPassword, "secret");
}

TEST_F(LoginWindowTest, ReloginKeepsTheEditsAndANewUserNameCountsOnlyAfterLogin) {
    CLoginDlg dlg;
    std::vector<Strings> edits;
    auto remember = [&] {
        edits.push_back({m_desktop.ControlText(dlg.GetSafeHwnd(), IDC_USERNAME),
                         m_desktop.ControlText(dlg.GetSafeHwnd(), IDC_PASSWORD)});
    };
    m_desktop.Type(IDC_USERNAME, "alice").Type(IDC_PASSWORD, "secret").Click(IDOK);
    ChooseFromTrayMenu(ID_TRAY_RELOGIN);
    m_desktop.Then(remember)
        .Type(IDC_USERNAME, "bob")
        .Then([&] { m_browser.windows = {LoginPage("login-2")}; })
        .TickTimer()
        .Click(IDOK)
        .TickTimer()
        .Then([&] { dlg.EndDialog(IDCANCEL); });

    RunLoginWindow(dlg);
    EXPECT_EQ(edits, (std::vector<Strings>{{"alice", "secret"}}));
    EXPECT_THAT(m_browser.log, ElementsAre("login: username = alice", "login: password = secret",
                                           "login: submit form 0"));
}

TEST_F(LoginWindowTest, LogOutCommandsSetTheWindowBeforeTheirScan) {
    const struct {
        unsigned command;
        bool visibleDuringScan;
    } cases[] = {{ID_TRAY_RELOGIN, true}, {ID_TRAY_EXIT, false}};
    for (const auto& c : cases) {
        std::unique_ptr<CLoginDlg> dlg;
        std::optional<bool> visibleDuringScan;
        std::string modeDuringScan;
        InterruptingBrowser browser(m_browser, [&] {
            visibleDuringScan = Window(*dlg).visible;
            modeDuringScan = dlg->m_strMode;
        });
        platform::Install(m_desktop.AsBackends(&ProgramResources(), &browser, &m_files));
        dlg = std::make_unique<CLoginDlg>();
        m_desktop.Type(IDC_USERNAME, "alice").Click(IDOK);
        ChooseFromTrayMenu(c.command);
        m_desktop.Then([&] { dlg->EndDialog(IDCANCEL); });
        RunLoginWindow(*dlg);
        EXPECT_EQ(visibleDuringScan, c.visibleDuringScan) << c.command;
        EXPECT_EQ(modeDuringScan, c.command == ID_TRAY_EXIT ? "CLOSE" : "RELOAD");
    }
}

TEST_F(LoginWindowTest, ExitDrivesTheApplicationToShutdownAndEndsWithOk) {
    CLoginDlg dlg;
    m_browser.windows = {ApplicationPage()};
    m_desktop.Type(IDC_USERNAME, "alice").Type(IDC_PASSWORD, "secret");
    ChooseFromTrayMenu(ID_TRAY_EXIT);

    EXPECT_EQ(RunLoginWindow(dlg), static_cast<int>(IDOK));
    EXPECT_THAT(m_browser.log, ElementsAre("app: navigate http://srv/crm2.5/login/shutdown.php"));
    EXPECT_EQ(dlg.m_strMode, "");
    // The exit command ends the dialog with its OK, which takes the edits over.
    EXPECT_EQ(dlg.m_strUser, "alice");
    EXPECT_EQ(dlg.m_strPassword, "secret");
}

TEST_F(LoginWindowTest, ExitArrivingDuringATimerScanRunsAsSoonAsThatScanEnds) {
    std::unique_ptr<CLoginDlg> dlg;
    InterruptingBrowser browser(m_browser, [&] {
        m_desktop.DoCommand(ID_TRAY_EXIT);   // arrives mid-scan
        m_desktop.DoTimer(dlg->GetSafeHwnd(), 1);  // and a tick, which must not start a scan
    });
    platform::Install(m_desktop.AsBackends(&ProgramResources(), &browser, &m_files));
    dlg = std::make_unique<CLoginDlg>();
    m_browser.windows = {ApplicationPage()};
    m_desktop.TickTimer();

    EXPECT_EQ(RunLoginWindow(*dlg), static_cast<int>(IDOK));
    EXPECT_EQ(browser.scans, 2);
    EXPECT_THAT(m_browser.log, ElementsAre("app: navigate http://srv/crm2.5/login/shutdown.php"));
    EXPECT_EQ(dlg->m_strMode, "");
}

class ThrowingBrowser : public platform::Browser {
public:
    std::unique_ptr<platform::BrowserWindowList> OpenWindows() override { throw std::bad_alloc(); }
};

TEST_F(LoginWindowTest, ExitStillEndsTheProgramWhenItsScanRunsOutOfMemory) {
    ThrowingBrowser browser;
    platform::Install(m_desktop.AsBackends(&ProgramResources(), &browser, &m_files));
    CLoginDlg dlg;
    ChooseFromTrayMenu(ID_TRAY_EXIT);

    EXPECT_EQ(RunLoginWindow(dlg), static_cast<int>(IDOK));
    EXPECT_EQ(dlg.m_strMode, "");
    ASSERT_EQ(m_desktop.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_desktop.MessageBoxes()[0].text, "Out of memory.");
}

TEST_F(LoginWindowTest, ReloginRestoresTheModeWhenItsScanFails) {
    ThrowingBrowser browser;
    platform::Install(m_desktop.AsBackends(&ProgramResources(), &browser, &m_files));
    CLoginDlg dlg;
    std::string mode = "unset";
    ChooseFromTrayMenu(ID_TRAY_RELOGIN);
    m_desktop.Then([&] { mode = dlg.m_strMode; }).PressEscape();

    RunLoginWindow(dlg);
    EXPECT_EQ(mode, "");
}

TEST_F(LoginWindowTest, WithoutANotificationAreaTheWindowStillWorksAndMinimisesOnLogin) {
    m_desktop.SetTrayAvailable(false);
    CLoginDlg dlg;
    FakeDesktop::WindowState afterLogin;
    m_browser.windows = {LoginPage()};
    m_desktop.Type(IDC_USERNAME, "alice")
        .Click(IDOK)
        .TickTimer()
        .Then([&] { afterLogin = Window(dlg); })
        .PressEscape();

    EXPECT_EQ(RunLoginWindow(dlg), static_cast<int>(IDCANCEL));
    EXPECT_EQ(dlg.m_strServer, "http://srv/crm2.5");
    EXPECT_EQ(afterLogin.systemMenu.size(), 2u);
    EXPECT_TRUE(afterLogin.minimized);
    EXPECT_TRUE(afterLogin.visible);
    EXPECT_THAT(m_browser.log, ElementsAre("login: username = alice", "login: password = ",
                                           "login: submit form 0"));
}

TEST_F(LoginWindowTest, DefaultUrlThatCannotBeSavedIsReportedAndScansStillRun) {
    MemoryFiles files("/home/user");
    files.FailOn(kConfigPath, platform::testing::FileOperation::Save, platform::FileErrorCause::AccessDenied);
    platform::Install(m_desktop.AsBackends(&ProgramResources(), &m_browser, &files));
    CLoginDlg dlg;
    std::size_t timers = 0;
    m_desktop.Then([&] { timers = Window(dlg).timers.size(); }).PressEscape();

    RunLoginWindow(dlg);
    EXPECT_EQ(dlg.m_strServer, "http://localhost/crm2.5");
    EXPECT_EQ(timers, 1u);
    ASSERT_EQ(m_desktop.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_desktop.MessageBoxes()[0].text, "Access to /home/user/config.ini was denied.");
    EXPECT_EQ(m_desktop.MessageBoxes()[0].icon, platform::MessageIcon::Stop);
}

TEST_F(LoginWindowTest, SystemMenuItemOpensTheAboutBox) {
    CLoginDlg dlg;
    m_desktop.ChooseSystemMenu(IDM_ABOUTBOX).PressEscape().PressEscape();
    RunLoginWindow(dlg);
    const auto about = m_desktop.DialogsRun(IDD_ABOUTBOX);
    ASSERT_EQ(about.size(), 1u);
    EXPECT_EQ(about[0]->endResult, static_cast<int>(IDCANCEL));
}

TEST_F(LoginWindowTest, TrayAboutOpensTheAboutBoxEvenWhileTheWindowIsHidden) {
    CLoginDlg dlg;
    m_desktop.Type(IDC_USERNAME, "alice").Click(IDOK);
    ChooseFromTrayMenu(ID_TRAY_ABOUT);
    m_desktop.PressEnter();
    ChooseFromTrayMenu(ID_TRAY_EXIT);

    EXPECT_EQ(RunLoginWindow(dlg), static_cast<int>(IDOK));
    const auto about = m_desktop.DialogsRun(IDD_ABOUTBOX);
    ASSERT_EQ(about.size(), 1u);
    EXPECT_EQ(about[0]->endResult, static_cast<int>(IDOK));
}

TEST_F(LoginWindowTest, F1InEveryWindowOpensTheOnlineHelp) {
    CLoginDlg dlg;
    m_desktop.PressF1()                   // the login window
        .Click(IDC_SETTINGS)              // opens the settings dialog ...
        .PressF1()
        .PressEscape()                    // ... and closes it
        .ChooseSystemMenu(IDM_ABOUTBOX)   // opens the About box ...
        .PressF1()
        .PressEscape()                    // ... and closes it
        .PressEscape();
    RunLoginWindow(dlg);
    EXPECT_EQ(m_desktop.Opened(), Strings(3, "http://www.kelvaro.example/kvdn/jxc"));
    EXPECT_EQ(m_desktop.DialogsRun(IDD_PARASET).size(), 1u);
    EXPECT_EQ(m_desktop.DialogsRun(IDD_ABOUTBOX).size(), 1u);
}

TEST_F(LoginWindowTest, MinimisedWindowDrawsItsIconCentred) {
    const struct {
        int width, height, x, y;
    } cases[] = {{100, 60, 34, 14}, {20, 60, -5, 14}, {32, 32, 0, 0}};
    for (const auto& c : cases) {
        CLoginDlg dlg;
        m_desktop.Then([&] {
                     FakeDesktop::WindowState& state = Window(dlg);
                     state.minimized = true;
                     state.client = {0, 0, c.width, c.height};
                     dlg.SendMessage(platform::msg::Paint);
                 })
            .PressEscape();
        RunLoginWindow(dlg);
        ASSERT_FALSE(m_desktop.IconsDrawn().empty());
        EXPECT_EQ(m_desktop.IconsDrawn().back().x, c.x) << c.width;
        EXPECT_EQ(m_desktop.IconsDrawn().back().y, c.y) << c.height;
        EXPECT_EQ(m_desktop.IconsDrawn().back().icon, FakeDesktop::ResourceIcon(IDI_TRAY1));
    }
    EXPECT_EQ(m_desktop.IconBackgroundErasures(), 3);
}

TEST_F(LoginWindowTest, QueryDragIconGivesTheWindowIcon) {
    CLoginDlg dlg;
    platform::LResult icon = 0;
    m_desktop.Then([&] { icon = dlg.SendMessage(platform::msg::QueryDragIcon); }).PressEscape();
    RunLoginWindow(dlg);
    EXPECT_EQ(static_cast<platform::Icon>(icon), FakeDesktop::ResourceIcon(IDI_TRAY1));
}

}  // namespace
}  // namespace lumatra_test
