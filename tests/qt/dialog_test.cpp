// Dialogs built from templates: geometry, frame, focus, placement, the modal loop, the system
// menu's equivalent and window icons.
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <stdexcept>

#include "qt_fixture.h"

namespace qt_test {
namespace {

QPoint ScreenCentre() { return QGuiApplication::primaryScreen()->availableGeometry().center(); }

// Centres differ by at most a pixel of rounding.
void ExpectCentredOn(const QWidget& window, QPoint centre) {
    const QPoint offset = window.geometry().center() - centre;
    EXPECT_LE(std::abs(offset.x()), 1) << "x " << offset.x();
    EXPECT_LE(std::abs(offset.y()), 1) << "y " << offset.y();
}

QColor PixelAt(const QLabel& label, QPoint at) { return label.pixmap().toImage().pixelColor(at); }

TEST_F(QtBackendTest, LoginTemplateHoldsItsBackgroundExactlyAndPlacesControlsByDialogUnits) {
    ScriptedDialog login(kLoginDialog, nullptr, [](ScriptedDialog& dialog) {
        const platform::Rect client = dialog.GetClientRect();
        EXPECT_EQ(client.Width(), 389);
        EXPECT_EQ(client.Height(), 246);

        const auto& background = dialog.ControlOf<QLabel>(-1);
        EXPECT_EQ(background.geometry(), QRect(0, 0, 389, 246));
        EXPECT_EQ(PixelAt(background, QPoint(388, 245)), kBackgroundColour);

        // (167, 69) 44 x 12 units and (110, 116) 41 x 12 units.
        EXPECT_EQ(dialog.ControlOf<QLineEdit>(kUserName).geometry(), QRect(291, 120, 77, 21));
        EXPECT_EQ(dialog.ControlOf<QPushButton>(1).geometry(), QRect(192, 202, 71, 21));
        EXPECT_EQ(dialog.ControlOf<QPushButton>(1).text(), QString("登 录"));
    });
    EXPECT_EQ(login.DoModal(), ScriptedDialog::kScriptDone);
}

TEST_F(QtBackendTest, IconStaticShowsTheIconAtItsOwnSize) {
    ScriptedDialog about(kAboutDialog, nullptr, [](ScriptedDialog& dialog) {
        const auto& icon = dialog.ControlOf<QLabel>(-1);
        EXPECT_EQ(icon.geometry(), QRect(14, 12, 32, 32));
        EXPECT_EQ(PixelAt(icon, QPoint(16, 16)), kIconColour);
    });
    about.DoModal();
}

struct FrameCase {
    const char* name;
    int templateId;
    const char* caption;
    bool minimizeBox;
};

class DialogFrameTest : public QtBackendTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(DialogFrameTest, HasItsCaptionAFixedSizeAndTheMinimiseBoxItsStyleAsksFor) {
    const FrameCase& c = GetParam();
    ScriptedDialog dialog(c.templateId, nullptr, [&](ScriptedDialog& shown) {
        const platform::qt::DialogWindow& window = shown.Shown();
        EXPECT_EQ(window.windowTitle(), QString(c.caption));
        EXPECT_EQ(window.minimumSize(), window.maximumSize());
        EXPECT_EQ(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint), c.minimizeBox);
        EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    });
    dialog.DoModal();
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogFrameTest,
                         ::testing::Values(FrameCase{"Login", kLoginDialog, "Kelvaro进销存", true},
                                           FrameCase{"Settings", kSettingsDialog, "参数设置", false}),
                         [](const auto& testCase) { return testCase.param.name; });

struct FocusCase {
    const char* name;
    int templateId;
    std::vector<int> tabOrder;  // from the control that has the focus at the start, round to it
};

class DialogFocusTest : public QtBackendTest, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(DialogFocusTest, FirstTabStopHasTheFocusAndTabFollowsTemplateOrder) {
    const FocusCase& c = GetParam();
    ScriptedDialog dialog(c.templateId, nullptr, [&](ScriptedDialog& shown) {
        platform::qt::DialogWindow& window = shown.Shown();
        for (int id : c.tabOrder) {
            EXPECT_EQ(window.focusWidget(), window.Control(id)) << "expected control " << id;
            QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(window.focusWidget(), window.Control(c.tabOrder.front()));
    });
    dialog.DoModal();
}

INSTANTIATE_TEST_SUITE_P(
    Templates, DialogFocusTest,
    ::testing::Values(FocusCase{"Login", kLoginDialog, {kUserName, kPassword, 1, kSettingsButton, 2}},
                      FocusCase{"Settings", kSettingsDialog, {1, kServer}}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(QtBackendTest, InitialisationThatSetsTheFocusItselfKeepsIt) {
    ScriptedDialog login(kLoginDialog, nullptr, [](ScriptedDialog& dialog) {
        EXPECT_EQ(dialog.Shown().focusWidget(), dialog.Shown().Control(kPassword));
    });
    login.initialise = [](ScriptedDialog& dialog) {
        dialog.Shown().Control(kPassword)->setFocus();
        return false;
    };
    login.DoModal();
}

TEST_F(QtBackendTest, DialogWithoutOwnerIsCentredOnTheScreen) {
    ScriptedDialog login(kLoginDialog, nullptr,
                         [](ScriptedDialog& dialog) { ExpectCentredOn(dialog.Shown(), ScreenCentre()); });
    login.DoModal();
}

TEST_F(QtBackendTest, DialogIsCentredOverItsOwnerWhileTheOwnerIsShownAndOnTheScreenOtherwise) {
    ScriptedDialog login(kLoginDialog, nullptr, [](ScriptedDialog& owner) {
        owner.Shown().move(300, 200);
        ScriptedDialog overOwner(kSettingsDialog, &owner, [&](ScriptedDialog& dialog) {
            ExpectCentredOn(dialog.Shown(), owner.Shown().geometry().center());
        });
        overOwner.DoModal();

        owner.ShowWindow(platform::ShowCommand::Hide);
        ScriptedDialog overHiddenOwner(kSettingsDialog, &owner, [](ScriptedDialog& dialog) {
            ExpectCentredOn(dialog.Shown(), ScreenCentre());
        });
        overHiddenOwner.DoModal();
    });
    login.DoModal();
}

TEST_F(QtBackendTest, InitialisationEndedByAnErrorIsReportedAndLeavesTheWindowAtItsTemplatePosition) {
    MessageBoxCloser closer;
    ScriptedDialog login(kLoginDialog, nullptr, [](ScriptedDialog& dialog) {
        EXPECT_EQ(dialog.Shown().pos(), QPoint(0, 0));
        EXPECT_TRUE(dialog.IsWindowVisible());
    });
    login.initialise = [](ScriptedDialog&) -> bool {
        throw std::runtime_error("config.ini cannot be written");
    };
    EXPECT_EQ(login.DoModal(), ScriptedDialog::kScriptDone);
    ASSERT_EQ(closer.shown.size(), 1u);
    EXPECT_EQ(closer.shown[0].text, QString("config.ini cannot be written"));
    EXPECT_EQ(closer.shown[0].icon, QMessageBox::Critical);
}

TEST_F(QtBackendTest, EndModalHidesTheWindowAtOnceThenGivesItsResultAndDestroysTheWindow) {
    platform::WindowHandle handle = 0;
    ScriptedDialog settings(kSettingsDialog, nullptr, [&](ScriptedDialog& dialog) {
        handle = dialog.GetSafeHwnd();
        EXPECT_TRUE(platform::Window::IsWindow(handle));
        EXPECT_EQ(platform::Window::FromHandle(handle), &dialog);
        dialog.EndDialog(42);
        EXPECT_FALSE(dialog.IsWindowVisible());
        EXPECT_TRUE(platform::Window::IsWindow(handle));
        dialog.endResult = 42;
    });
    EXPECT_EQ(settings.DoModal(), 42);
    EXPECT_EQ(settings.GetSafeHwnd(), 0u);
    EXPECT_FALSE(platform::Window::IsWindow(handle));
    EXPECT_EQ(platform::Window::FromHandle(handle), nullptr);
}

TEST_F(QtBackendTest, DialogEndedDuringItsInitialisationIsNeverShown) {
    bool scriptRan = false;
    ScriptedDialog settings(kSettingsDialog, nullptr, [&](ScriptedDialog&) { scriptRan = true; });
    settings.initialise = [](ScriptedDialog& dialog) {
        dialog.EndDialog(5);
        return true;
    };
    EXPECT_EQ(settings.DoModal(), 5);
    QCoreApplication::processEvents();
    EXPECT_FALSE(scriptRan);
}

TEST_F(QtBackendTest, ModalDialogBlocksItsOwnerKeepsTimersGoingAndHandsTheActivationBack) {
    RecordingWindow ticking;
    ASSERT_TRUE(ticking.CreateHiddenWindow());
    ScriptedDialog login(kLoginDialog, nullptr, [&](ScriptedDialog& owner) {
        auto& settingsButton = owner.ControlOf<QPushButton>(kSettingsButton);
        ScriptedDialog settings(kSettingsDialog, &owner, [&](ScriptedDialog& dialog) {
            QTest::mouseClick(&settingsButton, Qt::LeftButton);
            owner.Shown().activateWindow();
            QCoreApplication::processEvents();
            EXPECT_EQ(QApplication::activeWindow(), &dialog.Shown());
            ticking.SetTimer(1, 1);
            EXPECT_TRUE(WaitFor([&] { return ticking.Count(platform::msg::Timer, 1) >= 2; }));
        });
        settings.DoModal();
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), &owner.Shown());
        EXPECT_TRUE(owner.commands.empty());
        QTest::mouseClick(&settingsButton, Qt::LeftButton);
        EXPECT_EQ(owner.commands, std::vector<unsigned>{kSettingsButton});
    });
    login.DoModal();
}

// The menu that is showing, checked to hold the appended items.
QMenu* ShownSystemMenu() {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return nullptr;
    EXPECT_EQ(menu->actions().size(), 2);
    EXPECT_TRUE(menu->actions().value(0)->isSeparator());
    EXPECT_EQ(menu->actions().value(1)->text(), QString("关于 Lumatra(&A)..."));
    return menu;
}

TEST_F(QtBackendTest, SystemMenuItemsOpenWithAltSpaceOrFromTheBackgroundAndArriveAsSystemCommands) {
    RecordingWindow hidden;
    ASSERT_TRUE(hidden.CreateHiddenWindow());
    EXPECT_FALSE(windows.HasSystemMenu(hidden.GetSafeHwnd()));

    ScriptedDialog login(kLoginDialog, nullptr, [](ScriptedDialog& dialog) {
        platform::qt::DialogWindow& window = dialog.Shown();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.focusWidget(), Qt::Key_Space, Qt::AltModifier);
        QMenu* menu = ShownSystemMenu();
        ASSERT_NE(menu, nullptr);
        menu->setActiveAction(menu->actions()[1]);
        QTest::keyClick(menu, Qt::Key_Return);
        EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{0x0010});

        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(10, 10),
                                     window.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(&window, &rightClick);
        menu = ShownSystemMenu();
        ASSERT_NE(menu, nullptr);
        QTest::keyClick(menu, Qt::Key_Escape);
        EXPECT_EQ(dialog.sysCommands.size(), 1u);
    });
    login.initialise = [](ScriptedDialog& dialog) {
        EXPECT_TRUE(dialog.HasSystemMenu());
        dialog.AppendSystemMenu(0, "");
        dialog.AppendSystemMenu(0x0010, "关于 Lumatra(&A)...");
        return true;
    };
    login.DoModal();
}

TEST_F(QtBackendTest, WindowIconHoldsTheBigAndTheSmallIcon) {
    ScriptedDialog login(kLoginDialog, nullptr, [](ScriptedDialog& dialog) {
        const QList<QSize> sizes = dialog.Shown().windowIcon().availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(32, 32)));
        EXPECT_TRUE(sizes.contains(QSize(16, 16)));
        EXPECT_EQ(dialog.Shown().windowIcon().pixmap(16).toImage().pixelColor(8, 8), kIconColour);
    });
    login.initialise = [this](ScriptedDialog& dialog) {
        const platform::Icon icon = app.LoadIcon(kTrayIcon);
        dialog.SetIcon(icon, true);
        dialog.SetIcon(icon, false);
        return true;
    };
    login.DoModal();
}

}  // namespace
}  // namespace qt_test
