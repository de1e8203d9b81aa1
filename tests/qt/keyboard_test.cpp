// The keyboard and mouse in a dialog: Enter, Esc, the close box and buttons as commands, F1 as
// the help command to the main window, and the edits' texts.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/text.h"
#include "qt_fixture.h"

namespace qt_test {
namespace {

using platform::ID_HELP;
using platform::IDCANCEL;
using platform::IDOK;
using platform::qt::DialogWindow;
using platform::text::CodePage;

void PressEnter(DialogWindow& window) { QTest::keyClick(window.focusWidget(), Qt::Key_Return); }
void PressKeypadEnter(DialogWindow& window) { QTest::keyClick(window.focusWidget(), Qt::Key_Enter); }
void PressEscape(DialogWindow& window) { QTest::keyClick(window.focusWidget(), Qt::Key_Escape); }
void PressCloseBox(DialogWindow& window) { window.close(); }
void ClickSettingsButton(DialogWindow& window) {
    QTest::mouseClick(window.Control(kSettingsButton), Qt::LeftButton);
}

struct InputCase {
    const char* name;
    int templateId;
    int focusedControl;  // 0: the focus the dialog opened with
    void (*act)(DialogWindow&);
    unsigned expectedCommand;
};

class DialogInputTest : public QtBackendTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(DialogInputTest, ArrivesAsOneCommandAndLeavesTheDialogOpen) {
    const InputCase& c = GetParam();
    ScriptedDialog dialog(c.templateId, nullptr, [&](ScriptedDialog& shown) {
        DialogWindow& window = shown.Shown();
        if (c.focusedControl != 0) window.Control(c.focusedControl)->setFocus();
        c.act(window);
        EXPECT_EQ(shown.commands, std::vector<unsigned>{c.expectedCommand});
        EXPECT_TRUE(window.isVisible());
    });
    EXPECT_EQ(dialog.DoModal(), ScriptedDialog::kScriptDone);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DialogInputTest,
    ::testing::Values(InputCase{"EnterInUserName", kLoginDialog, kUserName, PressEnter, IDOK},
                      InputCase{"KeypadEnterInPassword", kLoginDialog, kPassword, PressKeypadEnter, IDOK},
                      InputCase{"EnterOnFocusedButton", kLoginDialog, kSettingsButton, PressEnter,
                                kSettingsButton},
                      InputCase{"EnterRightAfterOpening", kSettingsDialog, 0, PressEnter, IDOK},
                      InputCase{"EnterInSettingsEdit", kSettingsDialog, kServer, PressEnter, IDOK},
                      InputCase{"Escape", kLoginDialog, kUserName, PressEscape, IDCANCEL},
                      InputCase{"CloseBox", kSettingsDialog, 0, PressCloseBox, IDCANCEL},
                      InputCase{"ButtonClick", kLoginDialog, 0, ClickSettingsButton, kSettingsButton}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(QtBackendTest, PasswordEditEchoesMasksButGivesTheTypedText) {
    ScriptedDialog login(kLoginDialog, nullptr, [](ScriptedDialog& dialog) {
        auto& userName = dialog.ControlOf<QLineEdit>(kUserName);
        auto& password = dialog.ControlOf<QLineEdit>(kPassword);
        EXPECT_EQ(userName.echoMode(), QLineEdit::Normal);
        EXPECT_EQ(password.echoMode(), QLineEdit::Password);
        QTest::keyClicks(&userName, "zhang san");
        QTest::keyClicks(&password, "s3cret");
        EXPECT_EQ(dialog.GetDlgItemText(kUserName), "zhang san");
        EXPECT_EQ(dialog.GetDlgItemText(kPassword), "s3cret");
    });
    login.DoModal();
}

class ControlTextTest : public QtBackendTest, public ::testing::WithParamInterface<CodePage> {};

TEST_P(ControlTextTest, ChineseTextRoundTripsThroughEditsAndButtonsInTheProcessCodePage) {
    const CodePageGuard codePage(GetParam());
    const std::string name = platform::text::Narrow("张三丰");
    const std::string caption = platform::text::Narrow("登 录");
    ASSERT_FALSE(name.empty());
    ScriptedDialog login(kLoginDialog, nullptr, [&](ScriptedDialog& dialog) {
        dialog.SetDlgItemText(kUserName, name);
        EXPECT_EQ(dialog.ControlOf<QLineEdit>(kUserName).text(), QString("张三丰"));
        EXPECT_EQ(dialog.GetDlgItemText(kUserName), name);
        EXPECT_EQ(dialog.GetDlgItemText(1), caption);
        dialog.ControlOf<QLineEdit>(kPassword).setText("密码");
        EXPECT_EQ(dialog.GetDlgItemText(kPassword), platform::text::Narrow("密码"));
    });
    login.DoModal();
}

INSTANTIATE_TEST_SUITE_P(CodePages, ControlTextTest, ::testing::Values(CodePage::Utf8, CodePage::Gbk),
                         [](const auto& testCase) {
                             return testCase.param == CodePage::Utf8 ? "Utf8" : "Gbk";
                         });

TEST_F(QtBackendTest, F1InAnyWindowSendsTheHelpCommandToTheMainWindow) {
    RecordingWindow mainWindow;
    ASSERT_TRUE(mainWindow.CreateHiddenWindow());
    app.m_pMainWnd = &mainWindow;
    ScriptedDialog settings(kSettingsDialog, nullptr, [&](ScriptedDialog& dialog) {
        auto& server = dialog.ControlOf<QLineEdit>(kServer);
        QTest::keyClick(&server, Qt::Key_F1);
        EXPECT_EQ(mainWindow.Count(platform::msg::Command, ID_HELP), 1);
        QTest::keyClick(&server, Qt::Key_F1, Qt::ShiftModifier);
        QTest::keyClick(&server, Qt::Key_F1, Qt::ControlModifier);
        EXPECT_EQ(mainWindow.Count(platform::msg::Command, ID_HELP), 1);
        EXPECT_TRUE(dialog.commands.empty());
    });
    settings.DoModal();
}

TEST_F(QtBackendTest, F1InTheMainWindowReachesItself) {
    ScriptedDialog login(kLoginDialog, nullptr, [](ScriptedDialog& dialog) {
        QTest::keyClick(dialog.Shown().focusWidget(), Qt::Key_F1);
        EXPECT_EQ(dialog.commands, std::vector<unsigned>{ID_HELP});
    });
    app.m_pMainWnd = &login;
    login.DoModal();
}

}  // namespace
}  // namespace qt_test
