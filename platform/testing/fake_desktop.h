#pragma once
// A headless desktop for the unit tests: windows, dialogs, timers, message boxes, the shell's
// "open", the notification area, popup menus and the clock, all recorded.
//
// Tests drive it the way a user would.  A modal dialog blocks its caller, so what the user does
// while one runs is scripted beforehand: Then() queues a step, and the innermost running modal
// loop takes the steps in order until its dialog ends.  Posted messages are delivered after
// every step, as an event loop would.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/dialog.h"
#include "platform/notification_area.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "platform/window_system.h"

namespace platform::testing {

class FakeDesktop : public WindowSystem, public NotificationArea, public Shell, public Clock {
public:
    struct WindowState {
        Window* owner = nullptr;
        bool hidden = false;  // an object's own hidden window rather than a dialog
        int templateId = 0;
        const DialogTemplate* dialogTemplate = nullptr;
        bool visible = false;
        bool minimized = false;
        Rect client{0, 0, 389, 246};
        std::map<int, std::string> controlTexts;  // narrow text
        std::map<std::uintptr_t, unsigned> timers;  // id -> period
        std::vector<std::pair<unsigned, std::string>> systemMenu;  // appended items; "" = separator
        bool hasSystemMenu = true;
        Icon bigIcon = 0;
        Icon smallIcon = 0;
        std::optional<Dialog::InitResult> init;
        std::optional<int> endResult;
    };

    struct MessageBoxShown {
        std::string text;
        MessageIcon icon;
        std::string caption;
    };

    struct PopupShown {
        MenuItem popup;
        Point at;
        WindowHandle owner;
    };

    struct NotifyCall {
        NotifyAction action;
        NotifyIconData data;
    };

    FakeDesktop();
    ~FakeDesktop() override;

    // The backends this desktop provides, with the given others filled in.
    Backends AsBackends(const ResourceCatalogue* resources, Browser* browser = nullptr,
                        FileSystem* files = nullptr);

    // Scripting ---------------------------------------------------------------------------------
    using Step = std::function<void()>;
    FakeDesktop& Then(Step step);
    // User actions on the innermost running dialog; as queued steps.
    FakeDesktop& Type(int controlId, const std::string& narrowText);
    FakeDesktop& Click(int controlId);
    FakeDesktop& PressEnter();   // the default button
    FakeDesktop& PressEscape();  // IDCANCEL
    FakeDesktop& CloseBox();     // IDCANCEL
    FakeDesktop& PressF1();      // ID_HELP to the main window
    FakeDesktop& ChooseSystemMenu(unsigned id);
    FakeDesktop& TickTimer(std::uintptr_t id = 1);  // on the innermost dialog
    // A click on the notification-area icon `uID`: the record's callback message to its window.
    FakeDesktop& ClickTrayIcon(unsigned uID, Message mouseMessage);
    // What the next popup menu does when it is shown: the command chosen, or 0 for none.
    void ChooseFromNextPopup(unsigned commandId) { m_nextPopupChoice = commandId; }

    // Runs the queued steps now (outside any modal loop), delivering posted messages.
    void RunSteps();
    void DeliverPosted();
    std::size_t PendingSteps() const { return m_steps.size(); }

    // Direct actions, usable from inside steps.
    void DoType(int controlId, const std::string& narrowText);
    void DoCommand(unsigned id);
    void DoTimer(WindowHandle window, std::uintptr_t id);
    void DoTrayClick(unsigned uID, Message mouseMessage);

    // Inspection ----------------------------------------------------------------------------------
    WindowState* State(WindowHandle window);
    WindowState* StateOf(const Window& window) { return State(window.GetSafeHwnd()); }
    // The innermost running modal dialog, or null.
    Dialog* ActiveDialog() const;
    // Windows whose dialog ran from `templateId`, in order of creation (ended ones included).
    std::vector<const WindowState*> DialogsRun(int templateId) const;

    const std::vector<MessageBoxShown>& MessageBoxes() const { return m_messageBoxes; }
    const std::vector<std::string>& Opened() const { return m_opened; }
    const std::vector<PopupShown>& Popups() const { return m_popups; }
    const std::vector<NotifyCall>& NotifyCalls() const { return m_notifyCalls; }
    const std::vector<WindowHandle>& ForegroundRequests() const { return m_foreground; }
    // The icon currently shown in the notification area for (window, uID), if any.
    const NotifyIconData* TrayIcon(unsigned uID) const;

    // Settings --------------------------------------------------------------------------------------
    void SetNotifyResult(bool succeeds) { m_notifySucceeds = succeeds; }
    void SetTrayAvailable(bool available) { m_trayAvailable = available; }
    void SetOsMajorVersion(int version) { m_osMajorVersion = version; }
    void SetCursor(Point at) { m_cursor = at; }
    void SetTime(std::int64_t seconds) { m_now = seconds; }
    void AdvanceTime(std::int64_t seconds) { m_now += seconds; }
    void SetTimersSucceed(bool succeed) { m_timersSucceed = succeed; }
    void SetApplicationTitle(const std::string& title) { m_title = title; }
    // The handle LoadIcon gives for a catalogue icon, and LoadStandardIcon for a system icon.
    static Icon ResourceIcon(int id) { return static_cast<Icon>(0x10000 + id); }
    static Icon StandardIcon(int id) { return static_cast<Icon>(0x20000 + id); }

    // WindowSystem ----------------------------------------------------------------------------------
    WindowHandle CreateHiddenWindow(Window& owner) override;
    void DestroyWindow(WindowHandle window) override;
    bool IsWindow(WindowHandle window) override;
    Window* FromHandle(WindowHandle window) override;
    int RunModal(Dialog& dialog, const DialogTemplate& dialogTemplate, Window* owner) override;
    void EndModal(WindowHandle dialog, int result) override;
    bool SetTimer(WindowHandle window, std::uintptr_t id, unsigned milliseconds) override;
    bool KillTimer(WindowHandle window, std::uintptr_t id) override;
    void Show(WindowHandle window, ShowCommand command) override;
    bool IsVisible(WindowHandle window) override;
    bool IsMinimized(WindowHandle window) override;
    Rect ClientRect(WindowHandle window) override;
    bool SetForeground(WindowHandle window) override;
    bool Post(WindowHandle window, Message message, WParam wParam, LParam lParam) override;
    std::string ControlText(WindowHandle dialog, int controlId) override;
    void SetControlText(WindowHandle dialog, int controlId, const std::string& text) override;
    void SetWindowIcon(WindowHandle window, Icon icon, bool bigIcon) override;
    bool HasSystemMenu(WindowHandle window) override;
    void AppendSystemMenu(WindowHandle window, unsigned id, const std::string& text) override;
    void EraseIconBackground(WindowHandle window) override;
    void DrawIcon(WindowHandle window, int x, int y, Icon icon) override;
    int IconWidth() override { return 32; }
    int IconHeight() override { return 32; }
    void TrackPopupMenu(const MenuItem& popup, Point at, WindowHandle owner) override;
    Point CursorPos() override { return m_cursor; }
    int MessageBox(const std::string& text, MessageIcon icon) override;
    Icon LoadIcon(int resourceId) override;
    Icon LoadStandardIcon(int standardIconId) override;
    int OsMajorVersion() override { return m_osMajorVersion; }

    // NotificationArea, Shell, Clock ------------------------------------------------------------------
    bool NotifyIcon(NotifyAction action, const NotifyIconData& data) override;
    bool Open(const std::string& target) override;
    std::int64_t LocalSeconds() override { return m_now; }

    // What the minimised-icon painting did: erase requests and icons drawn at a point.
    struct IconDrawn {
        WindowHandle window;
        int x, y;
        Icon icon;
    };
    const std::vector<IconDrawn>& IconsDrawn() const { return m_iconsDrawn; }
    int IconBackgroundErasures() const { return m_erasures; }

private:
    struct Posted {
        WindowHandle window;
        Message message;
        WParam wParam;
        LParam lParam;
    };

    WindowHandle NewHandle(WindowState state);
    bool RunOneStep();
    unsigned DefaultButton(const WindowState& state) const;

    std::map<WindowHandle, WindowState> m_windows;
    std::vector<WindowHandle> m_creationOrder;
    std::vector<WindowHandle> m_modalStack;
    WindowHandle m_nextHandle = 0x100;
    std::deque<Step> m_steps;
    std::deque<Posted> m_posted;

    std::vector<MessageBoxShown> m_messageBoxes;
    std::vector<std::string> m_opened;
    std::vector<PopupShown> m_popups;
    std::vector<NotifyCall> m_notifyCalls;
    std::vector<WindowHandle> m_foreground;
    std::vector<IconDrawn> m_iconsDrawn;
    int m_erasures = 0;
    std::map<unsigned, NotifyIconData> m_trayIcons;  // by uID

    unsigned m_nextPopupChoice = 0;
    bool m_notifySucceeds = true;
    bool m_trayAvailable = true;
    bool m_timersSucceed = true;
    int m_osMajorVersion = 10;
    Point m_cursor{0, 0};
    std::int64_t m_now = 1'000'000;
    std::string m_title = "Lumatra";
};

}  // namespace platform::testing
