// The notification area: records added, modified and deleted, and mouse activations turned into
// the record's callback message.
#include <QCoreApplication>
#include <QSystemTrayIcon>

#include <cstring>

#include "platform/text.h"
#include "qt_fixture.h"

namespace qt_test {
namespace {

using platform::NotifyAction;
using platform::NotifyIconData;
namespace nif = platform::nif;

constexpr platform::Message kTrayNotify = platform::msg::User + 10;

class NotificationAreaTest : public QtBackendTest {
protected:
    NotificationAreaTest() { EXPECT_TRUE(target.CreateHiddenWindow()); }

    NotifyIconData Record(unsigned flags, const std::string& tip) {
        NotifyIconData data;
        data.cbSize = platform::kNotifyIconDataSize;
        data.hWnd = target.GetSafeHwnd();
        data.uID = kTrayMenu;
        data.uFlags = flags;
        data.uCallbackMessage = kTrayNotify;
        data.hIcon = windows.LoadIcon(kTrayIcon);
        std::strncpy(data.szTip, tip.c_str(), sizeof data.szTip - 1);
        return data;
    }

    QList<QSystemTrayIcon*> Shown() const { return tray.findChildren<QSystemTrayIcon*>(); }

    // Activates the one icon as the tray would and gives the messages that reach `window`.
    std::vector<Received> Activate(QSystemTrayIcon::ActivationReason reason, RecordingWindow& window) {
        window.received.clear();
        Q_EMIT Shown().at(0)->activated(reason);
        QCoreApplication::processEvents();
        return window.received;
    }

    RecordingWindow target;
    const unsigned kAll = nif::MessageField | nif::IconField | nif::TipField;
};

TEST_F(NotificationAreaTest, AddedIconShowsTheRecordsTooltipAndImage) {
    ASSERT_TRUE(tray.NotifyIcon(NotifyAction::Add, Record(kAll, platform::text::Narrow("Kelvaro进销存"))));
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_EQ(Shown()[0]->toolTip(), QString("Kelvaro进销存"));
    EXPECT_EQ(Shown()[0]->icon().pixmap(32).toImage().pixelColor(10, 10), kIconColour);
    EXPECT_EQ(Shown()[0]->contextMenu(), nullptr);
}

TEST_F(NotificationAreaTest, AddFailsWithoutATrayAndForAnIconThatExists) {
    trayAvailable = false;
    EXPECT_FALSE(tray.NotifyIcon(NotifyAction::Add, Record(kAll, "tip")));
    EXPECT_TRUE(Shown().isEmpty());
    trayAvailable = true;
    EXPECT_TRUE(tray.NotifyIcon(NotifyAction::Add, Record(kAll, "tip")));
    EXPECT_FALSE(tray.NotifyIcon(NotifyAction::Add, Record(kAll, "other")));
    EXPECT_EQ(Shown().size(), 1);
    EXPECT_EQ(Shown()[0]->toolTip(), QString("tip"));
}

struct ActivationCase {
    const char* name;
    QSystemTrayIcon::ActivationReason reason;
    platform::Message mouseMessage;
};

class TrayActivationTest : public NotificationAreaTest,
                           public ::testing::WithParamInterface<ActivationCase> {};

TEST_P(TrayActivationTest, BecomesTheCallbackMessageWithTheIdentifierAndTheMouseMessage) {
    ASSERT_TRUE(tray.NotifyIcon(NotifyAction::Add, Record(kAll, "tip")));
    EXPECT_EQ(Activate(GetParam().reason, target),
              (std::vector<Received>{
                  {kTrayNotify, kTrayMenu, static_cast<platform::LParam>(GetParam().mouseMessage)}}));
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, TrayActivationTest,
    ::testing::Values(ActivationCase{"RightClick", QSystemTrayIcon::Context, platform::msg::RightButtonUp},
                      ActivationCase{"LeftClick", QSystemTrayIcon::Trigger, platform::msg::LeftButtonUp},
                      ActivationCase{"DoubleClick", QSystemTrayIcon::DoubleClick,
                                     platform::msg::LeftButtonDoubleClick}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(NotificationAreaTest, ModifyChangesOnlyTheFieldsItsFlagsName) {
    ASSERT_TRUE(tray.NotifyIcon(NotifyAction::Add, Record(kAll, "first")));
    NotifyIconData tipOnly = Record(nif::TipField, "second");
    tipOnly.hIcon = 0;
    EXPECT_TRUE(tray.NotifyIcon(NotifyAction::Modify, tipOnly));
    EXPECT_EQ(Shown()[0]->toolTip(), QString("second"));
    EXPECT_FALSE(Shown()[0]->icon().isNull());

    NotifyIconData iconOnly = Record(nif::IconField, "third");
    iconOnly.hIcon = windows.LoadStandardIcon(32515);
    EXPECT_TRUE(tray.NotifyIcon(NotifyAction::Modify, iconOnly));
    EXPECT_EQ(Shown()[0]->toolTip(), QString("second"));
    EXPECT_NE(Shown()[0]->icon().pixmap(32).toImage().pixelColor(10, 10), kIconColour);
}

TEST_F(NotificationAreaTest, ModifyMovesTheCallbackToANewWindow) {
    ASSERT_TRUE(tray.NotifyIcon(NotifyAction::Add, Record(kAll, "tip")));
    RecordingWindow other;
    ASSERT_TRUE(other.CreateHiddenWindow());
    NotifyIconData moved = Record(0, "");
    moved.hWnd = other.GetSafeHwnd();
    EXPECT_TRUE(tray.NotifyIcon(NotifyAction::Modify, moved));
    EXPECT_EQ(Activate(QSystemTrayIcon::Context, other).size(), 1u);
    EXPECT_TRUE(target.received.empty());
}

TEST_F(NotificationAreaTest, RecordWithoutCallbackMessageSendsNothing) {
    ASSERT_TRUE(tray.NotifyIcon(NotifyAction::Add, Record(nif::IconField | nif::TipField, "tip")));
    EXPECT_TRUE(Activate(QSystemTrayIcon::Context, target).empty());
}

TEST_F(NotificationAreaTest, DeleteRemovesTheIconAndLaterCallsFindNone) {
    ASSERT_TRUE(tray.NotifyIcon(NotifyAction::Add, Record(kAll, "tip")));
    EXPECT_TRUE(tray.NotifyIcon(NotifyAction::Delete, Record(0, "")));
    EXPECT_TRUE(Shown().isEmpty());
    EXPECT_FALSE(tray.NotifyIcon(NotifyAction::Delete, Record(0, "")));
    EXPECT_FALSE(tray.NotifyIcon(NotifyAction::Modify, Record(nif::TipField, "tip")));
    EXPECT_TRUE(tray.NotifyIcon(NotifyAction::Add, Record(kAll, "again")));
}

TEST_F(NotificationAreaTest, TooltipIsReadInTheProcessCodePageAndNeverPastItsField) {
    NotifyIconData data;
    {
        const CodePageGuard gbk(platform::text::CodePage::Gbk);
        data = Record(kAll, platform::text::Narrow("Kelvaro进销存"));
        ASSERT_TRUE(tray.NotifyIcon(NotifyAction::Add, data));
        EXPECT_EQ(Shown()[0]->toolTip(), QString("Kelvaro进销存"));
    }

    std::memset(data.szTip, 'a', sizeof data.szTip);  // no terminating NUL
    data.uFlags = nif::TipField;
    EXPECT_TRUE(tray.NotifyIcon(NotifyAction::Modify, data));
    EXPECT_EQ(Shown()[0]->toolTip(), QString(64, 'a'));
}

}  // namespace
}  // namespace qt_test
