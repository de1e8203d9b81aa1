#pragma once
// The window system on Qt 6 Widgets.

#include <QObject>
#include <QPointer>

#include <map>
#include <vector>

#include "platform/qt/icon_table.h"
#include "platform/qt/top_level_window.h"
#include "platform/window_system.h"

namespace platform::qt {

class DialogWindow;

// Requires a QApplication.  Windows are named by handles that are never reused, so a message
// posted to a window that is gone finds no window and is dropped.
class QtWindowSystem : public QObject, public WindowSystem {
public:
    QtWindowSystem(const ResourceCatalogue& resources, IconTable& icons);
    ~QtWindowSystem() override;

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
    int IconWidth() override;
    int IconHeight() override;

    void TrackPopupMenu(const MenuItem& popup, Point at, WindowHandle owner) override;
    Point CursorPos() override;

    int MessageBox(const std::string& text, MessageIcon icon) override;

    Icon LoadIcon(int resourceId) override;
    Icon LoadStandardIcon(int standardIconId) override;

    int OsMajorVersion() override;

protected:
    // F1 in any window of the program.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct WindowRecord {
        Window* owner = nullptr;
        QPointer<TopLevelWindow> widget;
        Icon bigIcon = 0;
        Icon smallIcon = 0;
    };

    // Builds the dialog's window, attaches it and initialises it, then shows it unless the
    // initialisation ended it.
    WindowHandle OpenModal(Dialog& dialog, const DialogTemplate& dialogTemplate, QWidget* owner);
    // Forgets the window; gives its widget, which the caller deletes.
    TopLevelWindow* Remove(WindowHandle window);
    MessageSink SinkFor(WindowHandle window);
    WindowRecord* Find(WindowHandle window);
    TopLevelWindow* WidgetOf(WindowHandle window);
    DialogWindow* DialogOf(WindowHandle window);
    QWidget* WidgetOf(const Window* window);
    // The running modal dialog a message box belongs to: the innermost one on the screen.
    QWidget* InnermostShownDialog();

    const ResourceCatalogue& m_resources;
    IconTable& m_icons;
    std::map<WindowHandle, WindowRecord> m_windows;
    WindowHandle m_nextHandle = 1;
    std::vector<WindowHandle> m_modalDialogs;  // running modal loops, innermost last
};

}  // namespace platform::qt
