// The shell's callback: the popup menu, the left button, other mouse messages, the routing through
// the object's own window, and the recorded default menu item.

#include <string>
#include <utility>
#include <vector>

#include "tray_fixture.h"

namespace tray_test {
namespace {

using platform::LParam;
using platform::WParam;
namespace msg = platform::msg;

using Received = RecordingWindow::Received;

std::vector<std::pair<std::string, unsigned>> Items(const platform::MenuItem& popup) {
    std::vector<std::pair<std::string, unsigned>> items;
    for (const platform::MenuItem& item : popup.popup) items.emplace_back(item.text, item.id);
    return items;
}

class NotificationTest : public TrayTest {
protected:
    NotificationTest() {
        CreateTray(m_tray);
        const platform::Icon frames[] = {ResourceIcon(IDI_TRAY2)};
        m_tray.SetIconList(frames, 0);
    }

    bool AnimationRuns() {
        return m_tray.m_nAnimTimer != 0 &&
               m_desktop.State(m_tray.GetSafeHwnd())->timers.count(CSystemTray::ANIMATION_TIMER_ID) == 1;
    }

    // Nothing reached the shell, the screen or the main window.
    void ExpectNothingDone() {
        EXPECT_TRUE(CallsSinceMark().empty());
        EXPECT_TRUE(m_desktop.Popups().empty());
        EXPECT_TRUE(m_desktop.ForegroundRequests().empty());
        m_desktop.DeliverPosted();
        EXPECT_TRUE(m_main.received.empty());
    }

    TestTray m_tray;
};

TEST_F(NotificationTest, RightButtonReleaseShowsTheFirstSubmenuForTheMainWindowAndDeliversTheChoice) {
    for (const LParam lParam : {LParam{msg::RightButtonUp}, LParam{0x7FFF0000 | msg::RightButtonUp}}) {
        SCOPED_TRACE(lParam);
        const std::size_t popupsBefore = m_desktop.Popups().size();
        m_main.received.clear();
        m_desktop.SetCursor({640, 470});
        m_desktop.ChooseFromNextPopup(ID_TRAY_EXIT);
        Mark();

        EXPECT_EQ(m_tray.OnTrayNotification(IDR_TRAYMENU, lParam), 1);

        ASSERT_EQ(m_desktop.Popups().size(), popupsBefore + 1);
        const FakeDesktop::PopupShown& shown = m_desktop.Popups().back();
        EXPECT_EQ(Items(shown.popup), Items(ProgramResources().FindMenu(IDR_TRAYMENU)->items.front()));
        EXPECT_EQ(shown.at.x, 640);
        EXPECT_EQ(shown.at.y, 470);
        EXPECT_EQ(shown.owner, m_main.GetSafeHwnd());
        EXPECT_EQ(m_desktop.ForegroundRequests().back(), m_main.GetSafeHwnd());
        EXPECT_TRUE(CallsSinceMark().empty());

        m_desktop.DeliverPosted();
        const std::vector<Received> expected = {{msg::Command, ID_TRAY_EXIT, 0}, {msg::Null, 0, 0}};
        EXPECT_EQ(m_main.received, expected);
        EXPECT_TRUE(m_parent.received.empty());
    }
}

TEST_F(NotificationTest, TheProgramsMenuShowsHelpSeparatorReloginAndExit) {
    m_tray.OnTrayNotification(IDR_TRAYMENU, msg::RightButtonUp);
    ASSERT_EQ(m_desktop.Popups().size(), 1u);
    const platform::MenuItem& popup = m_desktop.Popups()[0].popup;
    ASSERT_EQ(popup.popup.size(), 4u);
    const std::vector<std::pair<std::string, unsigned>> help = {{"关于 Kelvaro进销存", ID_TRAY_ABOUT},
                                                                {"Kelvaro进销存 在线帮助", platform::ID_HELP}};
    EXPECT_EQ(Items(popup.popup[0]), help);
    EXPECT_TRUE(popup.popup[1].separator);
    EXPECT_EQ(popup.popup[2].text, "重新登录");
    EXPECT_EQ(popup.popup[2].id, ID_TRAY_RELOGIN);
    EXPECT_EQ(popup.popup[3].text, "退出系统");
    EXPECT_EQ(popup.popup[3].id, ID_TRAY_EXIT);
}

TEST_F(NotificationTest, ClosingTheMenuWithoutAChoiceStillPostsTheNullMessage) {
    m_tray.OnTrayNotification(IDR_TRAYMENU, msg::RightButtonUp);
    m_desktop.DeliverPosted();
    const std::vector<Received> expected = {{msg::Null, 0, 0}};
    EXPECT_EQ(m_main.received, expected);
}

TEST_F(NotificationTest, ForeignIdentifierIsIgnoredForEveryButton) {
    m_tray.Animate(500, 0);
    Mark();
    const WParam foreign[] = {IDR_TRAYMENU + 1, 0, (WParam{1} << 32) + IDR_TRAYMENU};
    for (const WParam wParam : foreign) {
        for (const LParam button : {LParam{msg::RightButtonUp}, LParam{msg::LeftButtonUp}}) {
            SCOPED_TRACE(testing::Message() << wParam << " " << button);
            EXPECT_EQ(m_tray.OnTrayNotification(wParam, button), 0);
        }
    }
    EXPECT_TRUE(AnimationRuns());
    ExpectNothingDone();
}

TEST_F(TrayTest, RightButtonReleaseWithoutAFirstSubmenuShowsNothing) {
    for (const int menu : {kMenuWithoutSubmenu, kEmptyMenu, 999}) {
        SCOPED_TRACE(menu);
        TestTray tray;
        CreateTray(tray, &m_parent, menu);
        EXPECT_EQ(tray.OnTrayNotification(menu, msg::RightButtonUp), 0);
    }
    EXPECT_TRUE(m_desktop.Popups().empty());
    EXPECT_TRUE(m_desktop.ForegroundRequests().empty());
    m_desktop.DeliverPosted();
    EXPECT_TRUE(m_main.received.empty());
}

TEST_F(NotificationTest, RightButtonReleaseWithoutAMainWindowShowsNothing) {
    m_app.m_pMainWnd = nullptr;
    Mark();
    EXPECT_EQ(m_tray.OnTrayNotification(IDR_TRAYMENU, msg::RightButtonUp), 0);
    ExpectNothingDone();
}

TEST_F(NotificationTest, LeftButtonReleaseStopsARunningAnimationAndPutsTheIconBack) {
    m_tray.Animate(500, 0);
    m_desktop.DoTimer(m_tray.GetSafeHwnd(), CSystemTray::ANIMATION_TIMER_ID);
    ASSERT_EQ(m_tray.GetIcon(), ResourceIcon(IDI_TRAY2));
    Mark();

    EXPECT_EQ(m_tray.OnTrayNotification(IDR_TRAYMENU, msg::LeftButtonUp), 1);

    EXPECT_FALSE(AnimationRuns());
    const auto calls = CallsSinceMark();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].action, NotifyAction::Modify);
    EXPECT_EQ(calls[0].data.hIcon, ResourceIcon(IDI_TRAY1));
}

TEST_F(NotificationTest, LeftButtonReleaseWithoutAnimationDoesNothing) {
    Mark();
    EXPECT_EQ(m_tray.OnTrayNotification(IDR_TRAYMENU, msg::LeftButtonUp), 1);
    ExpectNothingDone();
}

TEST_F(NotificationTest, OtherMouseMessagesDoNothing) {
    m_tray.Animate(500, 0);
    Mark();
    for (const platform::Message message : {msg::MouseMove, msg::LeftButtonDown, msg::LeftButtonDoubleClick,
                                            msg::RightButtonDown, msg::RightButtonDoubleClick}) {
        SCOPED_TRACE(message);
        EXPECT_EQ(m_tray.OnTrayNotification(IDR_TRAYMENU, LParam{message}), 1);
    }
    EXPECT_TRUE(AnimationRuns());
    ExpectNothingDone();
}

// Routing through the object's own window ----------------------------------------------------------

TEST_F(TrayTest, WithoutAParentTheShellsCallbackReachesTheTrayThroughItsOwnWindow) {
    TestTray tray;
    ASSERT_TRUE(CreateTray(tray, nullptr));
    const platform::Icon frames[] = {ResourceIcon(IDI_TRAY2)};
    tray.SetIconList(frames, 0);

    m_desktop.ChooseFromNextPopup(ID_TRAY_RELOGIN);
    m_desktop.DoTrayClick(IDR_TRAYMENU, msg::RightButtonUp);
    ASSERT_EQ(m_desktop.Popups().size(), 1u);
    EXPECT_EQ(m_desktop.Popups()[0].owner, m_main.GetSafeHwnd());
    m_desktop.DeliverPosted();
    const std::vector<Received> expected = {{msg::Command, ID_TRAY_RELOGIN, 0}, {msg::Null, 0, 0}};
    EXPECT_EQ(m_main.received, expected);

    tray.Animate(500, 0);
    m_desktop.DoTrayClick(IDR_TRAYMENU, msg::LeftButtonUp);
    EXPECT_EQ(tray.m_nAnimTimer, 0u);
}

TEST_F(TrayTest, WindowProcCallsTheOverriddenHandlerAndPassesOtherMessagesOn) {
    struct Overriding : CSystemTray {
        platform::LResult OnTrayNotification(WParam wParam, LParam lParam) override {
            seen.emplace_back(wParam, lParam);
            return 77;
        }
        void OnTimer(std::uintptr_t id) override { timers.push_back(id); }
        std::vector<std::pair<WParam, LParam>> seen;
        std::vector<std::uintptr_t> timers;
    } tray;
    CreateTray(tray, nullptr);

    EXPECT_EQ(platform::Dispatch(tray, WM_TRAY_NOTIFY, 5, 6), 77);
    EXPECT_EQ(platform::Dispatch(tray, msg::Timer, 4567, 0), 0);
    EXPECT_EQ(platform::Dispatch(tray, WM_TRAY_NOTIFY + 1, 5, 6), 0);
    EXPECT_EQ(tray.seen, (std::vector<std::pair<WParam, LParam>>{{5, 6}}));
    EXPECT_EQ(tray.timers, std::vector<std::uintptr_t>{4567});
}

// The recorded default menu item --------------------------------------------------------------------

TEST_F(TrayTest, SetMenuDefaultItemRecordsThePairAndChecksTheMenu) {
    struct Case {
        const char* name;
        int menu;  // 0: the object is not created
        unsigned item;
        bool byPosition;
        bool result;
        int menusLoaded;
    };
    const Case cases[] = {
        {"NewObjectSamePair", 0, 0, true, true, 0},
        {"NewObjectOtherItem", 0, 2, true, false, 1},
        {"TrayMenu", IDR_TRAYMENU, 2, true, true, 1},
        {"OnlyTheFlagDiffers", IDR_TRAYMENU, 0, false, true, 1},
        {"MenuWithoutSubmenu", kMenuWithoutSubmenu, 1, false, false, 1},
        {"MissingMenu", 999, 1, true, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestTray tray;
        if (c.menu != 0) CreateTray(tray, &m_parent, c.menu);
        unsigned item = 99;
        bool byPosition = false;
        tray.GetMenuDefaultItem(item, byPosition);
        EXPECT_EQ(item, 0u);
        EXPECT_TRUE(byPosition);

        const int loadedBefore = m_catalogue.MenuLookups();
        EXPECT_EQ(tray.SetMenuDefaultItem(c.item, c.byPosition), c.result);
        EXPECT_EQ(m_catalogue.MenuLookups() - loadedBefore, c.menusLoaded);
        tray.GetMenuDefaultItem(item, byPosition);
        EXPECT_EQ(item, c.item);
        EXPECT_EQ(byPosition, c.byPosition);

        // The same pair again is answered from the record.
        EXPECT_TRUE(tray.SetMenuDefaultItem(c.item, c.byPosition));
        EXPECT_EQ(m_catalogue.MenuLookups() - loadedBefore, c.menusLoaded);
    }
}

}  // namespace
}  // namespace tray_test
