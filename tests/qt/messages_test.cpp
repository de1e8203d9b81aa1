// Hidden windows, timers and posted messages; popup menus; message boxes; icons; the cursor.
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QTest>

#include "platform/text.h"
#include "qt_fixture.h"

namespace qt_test {
namespace {

using platform::msg::Command;
using platform::msg::Timer;
using platform::msg::User;

TEST_F(QtBackendTest, HiddenWindowIsKnownByItsHandleUntilDestroyed) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateHiddenWindow());
    const platform::WindowHandle handle = window.GetSafeHwnd();
    EXPECT_TRUE(platform::Window::IsWindow(handle));
    EXPECT_EQ(platform::Window::FromHandle(handle), &window);
    EXPECT_FALSE(window.IsWindowVisible());

    RecordingWindow other;
    ASSERT_TRUE(other.CreateHiddenWindow());
    EXPECT_NE(other.GetSafeHwnd(), handle);

    window.DestroyWindow();
    EXPECT_FALSE(platform::Window::IsWindow(handle));
    EXPECT_EQ(platform::Window::FromHandle(handle), nullptr);
    EXPECT_FALSE(windows.SetTimer(handle, 1, 10));
    EXPECT_FALSE(windows.Post(handle, User, 0, 0));
}

TEST_F(QtBackendTest, TimerTicksArriveThroughTheWindowUntilTheTimerIsKilled) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateHiddenWindow());
    ASSERT_EQ(window.SetTimer(7, 1), 7u);
    ASSERT_EQ(window.SetTimer(7, 1), 7u);  // restarts the same timer
    ASSERT_TRUE(WaitFor([&] { return window.Count(Timer, 7) >= 3; }));
    EXPECT_TRUE(window.KillTimer(7));
    EXPECT_FALSE(window.KillTimer(7));
    const auto ticks = window.received.size();
    QTest::qWait(50);
    EXPECT_EQ(window.received.size(), ticks);
    EXPECT_EQ(window.Count(Timer, 7), static_cast<int>(ticks));
}

TEST_F(QtBackendTest, PostedMessagesArriveLaterInTheOrderPosted) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateHiddenWindow());
    EXPECT_TRUE(window.PostMessage(User + 1, 5, 6));
    EXPECT_TRUE(window.PostMessage(User + 2, 7, -8));
    EXPECT_TRUE(window.received.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(window.received, (std::vector<Received>{{User + 1, 5, 6}, {User + 2, 7, -8}}));
}

TEST_F(QtBackendTest, MessagePostedToAWindowDestroyedBeforeDeliveryIsDropped) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateHiddenWindow());
    window.PostMessage(User);
    window.DestroyWindow();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.received.empty());
}

// Opens `path` in the menu that is showing (each step but the last a submenu) and chooses its
// last item; an empty path dismisses the menu.
void ChooseWhenShown(std::vector<QString> path) {
    QTimer::singleShot(0, [path] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        if (path.empty()) {
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        for (std::size_t step = 0; step < path.size(); ++step) {
            QAction* item = nullptr;
            for (QAction* action : menu->actions())
                if (action->text() == path[step]) item = action;
            ASSERT_NE(item, nullptr) << path[step].toStdString();
            menu->setActiveAction(item);
            if (step + 1 < path.size()) {
                QTest::keyClick(menu, Qt::Key_Right);
                menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                ASSERT_NE(menu, nullptr);
            }
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
}

struct PopupCase {
    const char* name;
    std::vector<QString> path;
    std::vector<unsigned> expectedCommands;
};

class PopupMenuTest : public QtBackendTest, public ::testing::WithParamInterface<PopupCase> {};

TEST_P(PopupMenuTest, ChosenCommandIsPostedToTheOwner) {
    RecordingWindow owner;
    ASSERT_TRUE(owner.CreateHiddenWindow());
    ChooseWhenShown(GetParam().path);
    windows.TrackPopupMenu(catalogue.FindMenu(kTrayMenu)->items[0], {40, 50}, owner.GetSafeHwnd());
    EXPECT_TRUE(owner.received.empty());
    QCoreApplication::processEvents();
    std::vector<unsigned> commands;
    for (const Received& message : owner.received)
        if (message.message == Command) commands.push_back(static_cast<unsigned>(message.wParam));
    EXPECT_EQ(commands, GetParam().expectedCommands);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Choices, PopupMenuTest,
                         ::testing::Values(PopupCase{"Item", {"重新登录"}, {kRelogin}},
                                           PopupCase{"LastItem", {"退出系统"}, {kExit}},
                                           PopupCase{"SubmenuItem", {"帮助主题", "关于 Kelvaro进销存"}, {kAbout}},
                                           PopupCase{"Dismissed", {}, {}}),
                         [](const auto& testCase) { return testCase.param.name; });
// clang-format on

TEST_F(QtBackendTest, PopupMenuShowsTheSubmenuASeparatorAndTheItemsAtThePoint) {
    RecordingWindow owner;
    ASSERT_TRUE(owner.CreateHiddenWindow());
    QStringList shown;
    QPoint topLeft;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        topLeft = menu->pos();
        for (const QAction* action : menu->actions())
            shown << (action->isSeparator() ? QString("-") : action->text() + (action->menu() ? ">" : ""));
        menu->close();
    });
    windows.TrackPopupMenu(catalogue.FindMenu(kTrayMenu)->items[0], {40, 50}, owner.GetSafeHwnd());
    EXPECT_EQ(shown, QStringList({"帮助主题>", "-", "重新登录", "退出系统"}));
    EXPECT_EQ(topLeft, QPoint(40, 50));
}

struct MessageBoxCase {
    const char* name;
    platform::MessageIcon icon;
    QMessageBox::Icon expectedIcon;
};

class MessageBoxTest : public QtBackendTest, public ::testing::WithParamInterface<MessageBoxCase> {};

TEST_P(MessageBoxTest, HasAnOkButtonTheIconAndTheApplicationTitleAsCaption) {
    MessageBoxCloser closer;
    EXPECT_EQ(platform::ShowMessage(platform::text::Narrow("用户名不能为空!"), GetParam().icon),
              static_cast<int>(platform::IDOK));
    ASSERT_EQ(closer.shown.size(), 1u);
    EXPECT_EQ(closer.shown[0].caption, QString("Lumatra"));
    EXPECT_EQ(closer.shown[0].text, QString("用户名不能为空!"));
    EXPECT_EQ(closer.shown[0].icon, GetParam().expectedIcon);
    EXPECT_EQ(closer.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

INSTANTIATE_TEST_SUITE_P(
    Icons, MessageBoxTest,
    ::testing::Values(MessageBoxCase{"Exclamation", platform::MessageIcon::Exclamation, QMessageBox::Warning},
                      MessageBoxCase{"Stop", platform::MessageIcon::Stop, QMessageBox::Critical}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(QtBackendTest, MessageBoxBelongsToTheDialogOnTheScreenAndGivesItTheActivationBack) {
    MessageBoxCloser closer;
    ScriptedDialog login(kLoginDialog, nullptr, [&](ScriptedDialog& dialog) {
        platform::ShowMessage("x");
        ASSERT_EQ(closer.shown.size(), 1u);
        EXPECT_EQ(closer.shown[0].owner, &dialog.Shown());
        EXPECT_EQ(closer.shown[0].modality, Qt::WindowModal);
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), &dialog.Shown());
    });
    login.DoModal();
}

TEST_F(QtBackendTest, IconsAreLoadedOnceAndMissingOnesGiveNoHandle) {
    const platform::Icon trayIcon = windows.LoadIcon(kTrayIcon);
    EXPECT_NE(trayIcon, 0u);
    EXPECT_EQ(windows.LoadIcon(kTrayIcon), trayIcon);
    EXPECT_EQ(icons.Find(trayIcon).pixmap(32).toImage().pixelColor(3, 3), kIconColour);
    EXPECT_EQ(windows.LoadIcon(kBackground), 0u);  // a bitmap, not an icon
    EXPECT_EQ(windows.LoadIcon(999), 0u);

    const platform::Icon warning = windows.LoadStandardIcon(32515);  // IDI_EXCLAMATION
    EXPECT_NE(warning, 0u);
    EXPECT_NE(warning, trayIcon);
    EXPECT_EQ(windows.LoadStandardIcon(32515), warning);
    EXPECT_EQ(windows.LoadStandardIcon(1), 0u);
    EXPECT_EQ(windows.IconWidth(), 32);
    EXPECT_EQ(windows.IconHeight(), 32);
}

TEST_F(QtBackendTest, CursorPositionIsTheToolkitsInScreenCoordinates) {
    QCursor::setPos(123, 45);
    const platform::Point at = windows.CursorPos();
    EXPECT_EQ(QPoint(at.x, at.y), QPoint(123, 45));
}

}  // namespace
}  // namespace qt_test
