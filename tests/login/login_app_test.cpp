#include "app/login_app.h"
#include "tests/login/login_fixture.h"

namespace lumatra_test {
namespace {

class StartUpTest : public ::testing::Test {
protected:
    StartUpTest() {
        m_files.PutFile(kConfigPath, "http://srv/crm2.5\r\r\n");
        m_previous = platform::Install(m_desktop.AsBackends(&ProgramResources(), &m_browser, &m_files));
        m_app.SetTitle("Lumatra");
    }
    ~StartUpTest() override { platform::Install(m_previous); }

    FakeDesktop m_desktop;
    ScriptedBrowser m_browser;
    MemoryFiles m_files{"/home/user"};
    platform::Backends m_previous;
    CLoginApp m_app;
};

TEST_F(StartUpTest, RunsTheLoginWindowOnceAsMainWindowAndEndsWithIt) {
    const struct {
        const char* how;
        unsigned command;
    } ways[] = {{"cancel", IDCANCEL}, {"exit", ID_TRAY_EXIT}};
    for (const auto& way : ways) {
        bool mainIsLoginWindow = false;
        m_desktop
            .Then([&] {
                const platform::Dialog* running = m_desktop.ActiveDialog();
                mainIsLoginWindow = running != nullptr && running->TemplateId() == IDD_LOGIN_DIALOG &&
                                    platform::GetMainWindow() == running;
            })
            .Click(static_cast<int>(way.command));

        EXPECT_FALSE(m_app.InitInstance()) << way.how;
        EXPECT_TRUE(mainIsLoginWindow) << way.how;
        EXPECT_EQ(m_desktop.PendingSteps(), 0u);
        EXPECT_EQ(m_desktop.TrayIcon(IDR_TRAYMENU), nullptr) << way.how;
        EXPECT_EQ(platform::GetMainWindow(), nullptr);
    }
    EXPECT_EQ(m_desktop.DialogsRun(IDD_LOGIN_DIALOG).size(), 2u);
}

TEST_F(StartUpTest, NamesTheRegistryKeyAndTakesTheTitleForMessageBoxes) {
    m_desktop.Click(IDOK).PressEscape();
    m_app.InitInstance();
    EXPECT_EQ(m_app.RegistryKey(), N("应用程序向导生成的本地应用程序"));
    ASSERT_EQ(m_desktop.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_desktop.MessageBoxes()[0].caption, "Lumatra");
}

}  // namespace
}  // namespace lumatra_test
