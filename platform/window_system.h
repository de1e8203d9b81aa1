#pragma once
// What a backend provides for the program's windows.  The program never calls this directly:
// Window, Dialog, Application and the free functions of platform/ui.h do.

#include <cstdint>
#include <string>

#include "platform/resources.h"
#include "platform/window.h"

namespace platform {

class Dialog;

enum class MessageIcon { None, Exclamation, Stop };

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Windows ------------------------------------------------------------------------------------
    // A hidden top-level window that delivers its messages (timers, posted messages) to `owner`.
    virtual WindowHandle CreateHiddenWindow(Window& owner) = 0;
    virtual void DestroyWindow(WindowHandle window) = 0;
    virtual bool IsWindow(WindowHandle window) = 0;
    virtual Window* FromHandle(WindowHandle window) = 0;

    // Builds the dialog's window from `dialogTemplate`, attaches it to `dialog`, calls
    // dialog.HandleInitDialog(), shows it (centred over `owner`, or the screen, unless the
    // initialisation asked not to be) and runs a modal loop until EndModal; the window is then
    // destroyed and detached.  Gives the EndModal result, or kDialogFailed.
    virtual int RunModal(Dialog& dialog, const DialogTemplate& dialogTemplate, Window* owner) = 0;
    virtual void EndModal(WindowHandle dialog, int result) = 0;

    virtual bool SetTimer(WindowHandle window, std::uintptr_t id, unsigned milliseconds) = 0;
    virtual bool KillTimer(WindowHandle window, std::uintptr_t id) = 0;
    virtual void Show(WindowHandle window, ShowCommand command) = 0;
    virtual bool IsVisible(WindowHandle window) = 0;
    virtual bool IsMinimized(WindowHandle window) = 0;
    virtual Rect ClientRect(WindowHandle window) = 0;
    virtual bool SetForeground(WindowHandle window) = 0;
    // Queues a message for the window; it arrives through Dispatch() from the event loop.
    virtual bool Post(WindowHandle window, Message message, WParam wParam, LParam lParam) = 0;

    // Dialog contents ----------------------------------------------------------------------------
    virtual std::string ControlText(WindowHandle dialog, int controlId) = 0;  // narrow text
    virtual void SetControlText(WindowHandle dialog, int controlId, const std::string& text) = 0;
    virtual void SetWindowIcon(WindowHandle window, Icon icon, bool bigIcon) = 0;
    virtual bool HasSystemMenu(WindowHandle window) = 0;
    // Appends an item whose choice sends SysCommand `id`; an empty text appends a separator.
    virtual void AppendSystemMenu(WindowHandle window, unsigned id, const std::string& text) = 0;

    // Painting a minimised window ------------------------------------------------------------------
    virtual void EraseIconBackground(WindowHandle window) = 0;
    virtual void DrawIcon(WindowHandle window, int x, int y, Icon icon) = 0;
    virtual int IconWidth() = 0;
    virtual int IconHeight() = 0;

    // Menus, cursor --------------------------------------------------------------------------------
    // Shows `popup` with its top-left corner at `at` (screen coordinates) until it closes; the
    // chosen command reaches `owner` as a Command message.
    virtual void TrackPopupMenu(const MenuItem& popup, Point at, WindowHandle owner) = 0;
    virtual Point CursorPos() = 0;

    // Message boxes: OK button, the icon given, the application's title as caption.
    virtual int MessageBox(const std::string& text, MessageIcon icon) = 0;

    // Icons: one of the catalogue's icons, or one of the system's predefined icons; 0 when missing.
    virtual Icon LoadIcon(int resourceId) = 0;
    virtual Icon LoadStandardIcon(int standardIconId) = 0;

    // The major version of the operating system, for the notification area's version test.
    virtual int OsMajorVersion() = 0;
};

}  // namespace platform
