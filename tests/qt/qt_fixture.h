#pragma once
// What the tests of the Qt backends share: a small resource catalogue, recording windows and
// dialogs, and the backends installed around each test.

#include <QColor>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "platform/application.h"
#include "platform/dialog.h"
#include "platform/platform.h"
#include "platform/qt/dialog_window.h"
#include "platform/qt/icon_table.h"
#include "platform/qt/notification_area.h"
#include "platform/qt/window_system.h"
#include "platform/text.h"

namespace qt_test {

using platform::LParam;
using platform::LResult;
using platform::Message;
using platform::WParam;

// The catalogue: three dialogs shaped like the program's, a tray menu, an icon and a background.
inline constexpr int kAboutDialog = 100;     // an icon static; OK is the default button
inline constexpr int kLoginDialog = 102;     // 223 x 141 units over a 389 x 246 px background
inline constexpr int kSettingsDialog = 130;  // the default button is the first tab stop
inline constexpr int kTrayMenu = 131;
inline constexpr int kBackground = 140;
inline constexpr int kTrayIcon = 141;
inline constexpr int kUserName = 1000;
inline constexpr int kPassword = 1001;
inline constexpr int kServer = 1000;
inline constexpr int kSettingsButton = 3;
inline constexpr unsigned kRelogin = 32778;
inline constexpr unsigned kExit = 32779;
inline constexpr unsigned kAbout = 32780;

inline const QColor kIconColour(0x20, 0x90, 0x80);
inline const QColor kBackgroundColour(0x60, 0x70, 0x90);

class TestCatalogue : public platform::ResourceCatalogue {
public:
    TestCatalogue();
    const platform::DialogTemplate* FindDialog(int id) const override;
    const platform::MenuTemplate* FindMenu(int id) const override;
    std::optional<std::string> FindString(int id) const override;
    std::optional<platform::ImageResource> FindImage(int id) const override;

private:
    std::map<int, platform::DialogTemplate> m_dialogs;
    platform::MenuTemplate m_trayMenu;
    std::vector<std::uint8_t> m_background;  // a .bmp file
    std::vector<std::uint8_t> m_icon;        // an .ico file
};

struct Received {
    Message message;
    WParam wParam;
    LParam lParam;
    bool operator==(const Received&) const = default;
};

// A window that records every message that reaches it.
class RecordingWindow : public platform::Window {
public:
    LResult WindowProc(Message message, WParam wParam, LParam lParam) override;
    // How many messages `message` with this wParam arrived.
    int Count(Message message, WParam wParam) const;

    std::vector<Received> received;
};

// A dialog whose test body runs once the dialog is on the screen; the dialog then ends with
// `endResult`.  Its commands are recorded and end nothing.
class ScriptedDialog : public platform::Dialog {
public:
    using Script = std::function<void(ScriptedDialog&)>;
    static constexpr int kScriptDone = 77;

    ScriptedDialog(int templateId, platform::Window* parent, Script script);

    bool OnInitDialog() override;
    LResult WindowProc(Message message, WParam wParam, LParam lParam) override;
    bool OnCommand(unsigned id) override;
    void OnSysCommand(unsigned id) override;

    // The dialog's window while it runs.
    platform::qt::DialogWindow& Shown() const;
    template <class Control>
    Control& ControlOf(int controlId) const {
        auto* control = qobject_cast<Control*>(Shown().Control(controlId));
        if (control == nullptr) throw std::logic_error("no such control");
        return *control;
    }

    // Replaces the initialisation (whose result asks for the focus on the first control).
    std::function<bool(ScriptedDialog&)> initialise;
    int endResult = kScriptDone;
    std::vector<unsigned> commands;
    std::vector<unsigned> sysCommands;

private:
    Script m_script;
};

// Presses OK on every message box that shows, recording what it showed.
class MessageBoxCloser {
public:
    struct Shown {
        QString caption;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QWidget* owner;
        Qt::WindowModality modality;
    };

    MessageBoxCloser();
    std::vector<Shown> shown;

private:
    void CloseShownBoxes();
    QTimer m_timer;
};

// Sets the process's code page for the length of a scope.
class CodePageGuard {
public:
    explicit CodePageGuard(platform::text::CodePage codePage)
        : m_previous(platform::text::ProcessCodePage()) {
        platform::text::SetProcessCodePage(codePage);
    }
    ~CodePageGuard() { platform::text::SetProcessCodePage(m_previous); }

private:
    platform::text::CodePage m_previous;
};

// Spins the event loop until `condition` holds; false when it never does.
bool WaitFor(const std::function<bool()>& condition);

// The Qt backends with the test catalogue, and an application titled "Lumatra", installed for
// the length of a test.
class QtBackendTest : public ::testing::Test {
protected:
    QtBackendTest();
    ~QtBackendTest() override;

    TestCatalogue catalogue;
    platform::qt::IconTable icons{catalogue};
    platform::qt::QtWindowSystem windows{catalogue, icons};
    bool trayAvailable = true;
    platform::qt::QtNotificationArea tray{windows, icons, [this] { return trayAvailable; }};
    platform::Application app{"Lumatra"};

private:
    platform::Backends m_previous;
};

}  // namespace qt_test
