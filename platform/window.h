#pragma once
// Windows of the program, the messages they receive and the handlers those reach.
//
// A Window is the program's side of a native window that a backend (platform/qt, platform/testing)
// makes.  The backend delivers every message through Dispatch(), which calls the window's
// WindowProc; WindowProc turns commands and timer ticks into the On... handlers that the windows
// of the program override.  An exception that escapes a handler is reported the way a desktop
// program reports it (a message box with a stop icon) and the program goes on.

#include <cstdint>
#include <string>

namespace platform {

using WindowHandle = std::uintptr_t;  // 0: no window
using Icon = std::uintptr_t;          // 0: no icon
using Message = unsigned;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// Window messages, with the numbers the notification area's callback carries.
namespace msg {
inline constexpr Message Null = 0x0000;
inline constexpr Message Paint = 0x000F;
inline constexpr Message IconEraseBackground = 0x0027;
inline constexpr Message QueryDragIcon = 0x0037;
inline constexpr Message Command = 0x0111;
inline constexpr Message SysCommand = 0x0112;
inline constexpr Message Timer = 0x0113;
inline constexpr Message MouseMove = 0x0200;
inline constexpr Message LeftButtonDown = 0x0201;
inline constexpr Message LeftButtonUp = 0x0202;
inline constexpr Message LeftButtonDoubleClick = 0x0203;
inline constexpr Message RightButtonDown = 0x0204;
inline constexpr Message RightButtonUp = 0x0205;
inline constexpr Message RightButtonDoubleClick = 0x0206;
inline constexpr Message User = 0x0400;
}  // namespace msg

// Command IDs that belong to the window system rather than to the program.
inline constexpr unsigned IDOK = 1;
inline constexpr unsigned IDCANCEL = 2;
inline constexpr unsigned ID_HELP = 57670;

enum class ShowCommand { Hide = 0, ShowNormal = 1, Show = 5, Minimize = 6 };

enum class SystemMetric { IconWidth, IconHeight };
int GetSystemMetrics(SystemMetric metric);

inline constexpr unsigned LowWord(LParam value) { return static_cast<unsigned>(value) & 0xFFFFu; }

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Messages ---------------------------------------------------------------------------------
    // Routes a message to the handlers below; other messages give 0.
    virtual LResult WindowProc(Message message, WParam wParam, LParam lParam);
    // A command (menu item, button, accelerator); false when this window does not handle it,
    // which passes it on to the application.
    virtual bool OnCommand(unsigned id);
    virtual void OnTimer(std::uintptr_t timerId);
    virtual void OnSysCommand(unsigned id);
    virtual void OnPaint();

    // The window --------------------------------------------------------------------------------
    // Makes a hidden top-level window of this object's own (never shown).
    bool CreateHiddenWindow();
    bool DestroyWindow();
    WindowHandle GetSafeHwnd() const { return m_hWnd; }
    static Window* FromHandle(WindowHandle handle);
    static bool IsWindow(WindowHandle handle);

    // Starts timer `id`; gives `id` on success and 0 on failure.
    std::uintptr_t SetTimer(std::uintptr_t id, unsigned milliseconds);
    bool KillTimer(std::uintptr_t id);

    void ShowWindow(ShowCommand command);
    bool IsWindowVisible() const;
    bool IsIconic() const;
    Rect GetClientRect() const;
    bool SetForegroundWindow();
    bool PostMessage(Message message, WParam wParam = 0, LParam lParam = 0);
    LResult SendMessage(Message message, WParam wParam = 0, LParam lParam = 0);

    // Painting a minimised window: its background behind the icon, and the icon.
    void EraseIconBackground();
    void DrawIcon(int x, int y, Icon icon);

    // Backend side --------------------------------------------------------------------------------
    // Ties this object to a native window the backend made, or unties it (handle 0).
    void Attach(WindowHandle handle);
    void Detach();

private:
    WindowHandle m_hWnd = 0;
};

// Delivers one message to a window, reporting an exception that escapes its handler.
LResult Dispatch(Window& window, Message message, WParam wParam, LParam lParam);

// Runs `action` the way a message handler runs: an escaping exception is reported, not thrown.
// Gives false when the action ended with an exception.
template <class Action>
bool RunReported(Action&& action);

// Shows the report of an exception that escaped a message handler.
void ReportEscapedException();

// The application's main window (the one the tray menu and F1 send their commands to): the
// application object's m_pMainWnd, or null.
Window* GetMainWindow();

template <class Action>
bool RunReported(Action&& action) {
    try {
        action();
        return true;
    } catch (...) {
        ReportEscapedException();
        return false;
    }
}

}  // namespace platform
