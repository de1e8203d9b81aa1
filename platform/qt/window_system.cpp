#include "platform/qt/window_system.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

#include "platform/application.h"
#include "platform/dialog.h"
#include "platform/qt/dialog_window.h"
#include "platform/qt/images.h"
#include "platform/qt/qt_text.h"

namespace platform::qt {
namespace {

// The notification area's version test asks for a shell that has one; Windows 4.0 was the first.
// Whether this desktop has a tray is QSystemTrayIcon's to say when the icon is added.
constexpr int kFirstShellWithNotificationArea = 4;

bool IsOnScreen(const QWidget* widget) {
    return widget != nullptr && widget->isVisible() && !widget->isMinimized();
}

// Centres `window` over `owner` when that is on the screen, else on the screen's work area, and
// keeps it inside the work area.  Client areas are centred: a window's frame is known only once
// the window manager has framed it.
void Centre(QWidget& window, const QWidget* owner) {
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    QRect client(QPoint(), window.size());
    client.moveCenter(IsOnScreen(owner) ? owner->geometry().center() : area.center());
    client.moveLeft(
        std::max(area.left(), std::min(client.left(), area.left() + area.width() - client.width())));
    client.moveTop(
        std::max(area.top(), std::min(client.top(), area.top() + area.height() - client.height())));
    window.setGeometry(client);
}

void Activate(QWidget& window) {
    window.raise();
    window.activateWindow();
}

void AddMenuItems(QMenu& menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (item.separator)
            menu.addSeparator();
        else if (item.IsPopup())
            AddMenuItems(*menu.addMenu(FromUtf8(item.text)), item.popup);
        else
            menu.addAction(FromUtf8(item.text))->setData(item.id);
    }
}

QMessageBox::Icon MessageBoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Stop: return QMessageBox::Critical;
    case MessageIcon::None: return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

QString ApplicationTitle() {
    const Application* app = GetApp();
    return app != nullptr ? ToQString(app->Title()) : QString();
}

// F1, the help key, as long as neither Shift, Ctrl nor Alt is held.
bool IsHelpKey(const QEvent& event) {
    if (event.type() != QEvent::KeyPress) return false;
    const auto& key = static_cast<const QKeyEvent&>(event);
    return key.key() == Qt::Key_F1 &&
           (key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
}

}  // namespace

QtWindowSystem::QtWindowSystem(const ResourceCatalogue& resources, IconTable& icons)
    : m_resources(resources), m_icons(icons) {
    qApp->installEventFilter(this);
}

QtWindowSystem::~QtWindowSystem() {
    for (auto& [handle, record] : m_windows) delete record.widget.data();
}

// Windows ------------------------------------------------------------------------------------------

WindowHandle QtWindowSystem::CreateHiddenWindow(Window& owner) {
    const WindowHandle handle = m_nextHandle++;
    m_windows[handle] = {&owner, new TopLevelWindow(SinkFor(handle), nullptr, Qt::Window)};
    return handle;
}

void QtWindowSystem::DestroyWindow(WindowHandle window) {
    if (DialogWindow* dialog = DialogOf(window)) dialog->EndModalLoop(kDialogFailed);
    // Deleted later, since the window may be destroyed from one of its own handlers.
    if (TopLevelWindow* widget = Remove(window)) {
        widget->Disown();
        widget->deleteLater();
    }
}

bool QtWindowSystem::IsWindow(WindowHandle window) { return WidgetOf(window) != nullptr; }

Window* QtWindowSystem::FromHandle(WindowHandle window) {
    const WindowRecord* record = Find(window);
    return record != nullptr ? record->owner : nullptr;
}

int QtWindowSystem::RunModal(Dialog& dialog, const DialogTemplate& dialogTemplate, Window* owner) {
    if (dialog.GetSafeHwnd() != 0) return kDialogFailed;
    const WindowHandle handle = OpenModal(dialog, dialogTemplate, WidgetOf(owner));
    QPointer<DialogWindow> window = DialogOf(handle);
    const int result = window ? window->RunModalLoop() : kDialogFailed;
    std::erase(m_modalDialogs, handle);
    // Safe now: the loop has returned, so none of the window's own handlers is running.
    delete Remove(handle);
    if (dialog.GetSafeHwnd() == handle) dialog.Detach();
    return result;
}

WindowHandle QtWindowSystem::OpenModal(Dialog& dialog, const DialogTemplate& dialogTemplate, QWidget* owner) {
    const WindowHandle handle = m_nextHandle++;
    QPointer<DialogWindow> window = new DialogWindow(SinkFor(handle), owner, dialogTemplate, m_resources);
    m_windows[handle] = {&dialog, window.data()};
    m_modalDialogs.push_back(handle);
    dialog.Attach(handle);
    const Dialog::InitResult init = dialog.HandleInitDialog();
    if (!window || window->ModalLoopEnded()) return handle;
    if (init.focusFirstControl) window->FocusFirstTabStop();
    if (init.centre) Centre(*window, owner);
    window->show();
    Activate(*window);
    return handle;
}

void QtWindowSystem::EndModal(WindowHandle dialog, int result) {
    if (DialogWindow* window = DialogOf(dialog)) window->EndModalLoop(result);
}

bool QtWindowSystem::SetTimer(WindowHandle window, std::uintptr_t id, unsigned milliseconds) {
    TopLevelWindow* widget = WidgetOf(window);
    return widget != nullptr && widget->StartTimer(id, milliseconds);
}

bool QtWindowSystem::KillTimer(WindowHandle window, std::uintptr_t id) {
    TopLevelWindow* widget = WidgetOf(window);
    return widget != nullptr && widget->StopTimer(id);
}

void QtWindowSystem::Show(WindowHandle window, ShowCommand command) {
    TopLevelWindow* widget = WidgetOf(window);
    if (widget == nullptr) return;
    switch (command) {
    case ShowCommand::Hide: widget->hide(); return;
    case ShowCommand::Minimize: widget->showMinimized(); return;
    case ShowCommand::ShowNormal: widget->showNormal(); break;
    case ShowCommand::Show: widget->show(); break;
    }
    Activate(*widget);
}

bool QtWindowSystem::IsVisible(WindowHandle window) {
    const TopLevelWindow* widget = WidgetOf(window);
    return widget != nullptr && widget->isVisible();
}

bool QtWindowSystem::IsMinimized(WindowHandle window) {
    const TopLevelWindow* widget = WidgetOf(window);
    return widget != nullptr && widget->isMinimized();
}

Rect QtWindowSystem::ClientRect(WindowHandle window) {
    const TopLevelWindow* widget = WidgetOf(window);
    return widget != nullptr ? Rect{0, 0, widget->width(), widget->height()} : Rect{};
}

bool QtWindowSystem::SetForeground(WindowHandle window) {
    TopLevelWindow* widget = WidgetOf(window);
    if (widget == nullptr) return false;
    Activate(*widget);
    return true;
}

bool QtWindowSystem::Post(WindowHandle window, Message message, WParam wParam, LParam lParam) {
    TopLevelWindow* widget = WidgetOf(window);
    if (widget == nullptr) return false;
    widget->Post(message, wParam, lParam);
    return true;
}

// Dialog contents ----------------------------------------------------------------------------------

std::string QtWindowSystem::ControlText(WindowHandle dialog, int controlId) {
    const DialogWindow* window = DialogOf(dialog);
    return window != nullptr ? ToNarrow(window->ControlText(controlId)) : std::string();
}

void QtWindowSystem::SetControlText(WindowHandle dialog, int controlId, const std::string& text) {
    if (DialogWindow* window = DialogOf(dialog)) window->SetControlText(controlId, ToQString(text));
}

void QtWindowSystem::SetWindowIcon(WindowHandle window, Icon icon, bool bigIcon) {
    WindowRecord* record = Find(window);
    if (record == nullptr || record->widget == nullptr) return;
    (bigIcon ? record->bigIcon : record->smallIcon) = icon;
    record->widget->setWindowIcon(m_icons.WindowIcon(record->bigIcon, record->smallIcon));
}

bool QtWindowSystem::HasSystemMenu(WindowHandle window) {
    const DialogWindow* dialog = DialogOf(window);
    return dialog != nullptr && dialog->HasSystemMenu();
}

void QtWindowSystem::AppendSystemMenu(WindowHandle window, unsigned id, const std::string& text) {
    DialogWindow* dialog = DialogOf(window);
    if (dialog != nullptr && dialog->HasSystemMenu()) dialog->AppendSystemMenu(id, ToQString(text));
}

// Painting a minimised window -------------------------------------------------------------------
// X11 shows a minimised window as its icon in the task bar and never asks the window to paint
// it, so there is nothing to paint into.

void QtWindowSystem::EraseIconBackground(WindowHandle) {}

void QtWindowSystem::DrawIcon(WindowHandle, int, int, Icon) {}

int QtWindowSystem::IconWidth() { return kIconSize; }

int QtWindowSystem::IconHeight() { return kIconSize; }

// Menus, cursor, message boxes, icons -------------------------------------------------------------

void QtWindowSystem::TrackPopupMenu(const MenuItem& popup, Point at, WindowHandle owner) {
    if (!IsWindow(owner)) return;
    QMenu menu;
    AddMenuItems(menu, popup.popup);
    if (const QAction* chosen = menu.exec(QPoint(at.x, at.y)))
        Post(owner, msg::Command, chosen->data().toUInt(), 0);
}

Point QtWindowSystem::CursorPos() {
    const QPoint position = QCursor::pos();
    return {position.x(), position.y()};
}

int QtWindowSystem::MessageBox(const std::string& text, MessageIcon icon) {
    QWidget* owner = InnermostShownDialog();
    QMessageBox box(MessageBoxIcon(icon), ApplicationTitle(), ToQString(text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
    ReturnActivationTo(owner);
    return static_cast<int>(IDOK);
}

Icon QtWindowSystem::LoadIcon(int resourceId) { return m_icons.FromResource(resourceId); }

Icon QtWindowSystem::LoadStandardIcon(int standardIconId) { return m_icons.Standard(standardIconId); }

int QtWindowSystem::OsMajorVersion() { return kFirstShellWithNotificationArea; }

bool QtWindowSystem::eventFilter(QObject* watched, QEvent* event) {
    if (IsHelpKey(*event)) {
        Window* mainWindow = GetMainWindow();
        if (mainWindow != nullptr && IsWindow(mainWindow->GetSafeHwnd())) {
            Dispatch(*mainWindow, msg::Command, ID_HELP, 0);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

// Records ------------------------------------------------------------------------------------------

TopLevelWindow* QtWindowSystem::Remove(WindowHandle window) {
    const auto found = m_windows.find(window);
    if (found == m_windows.end()) return nullptr;
    TopLevelWindow* widget = found->second.widget;
    m_windows.erase(found);
    return widget;
}

MessageSink QtWindowSystem::SinkFor(WindowHandle window) {
    // Looked up at each delivery: a message for a window that is gone reaches no one.
    return [this, window](Message message, WParam wParam, LParam lParam) {
        if (Window* owner = FromHandle(window)) Dispatch(*owner, message, wParam, lParam);
    };
}

QtWindowSystem::WindowRecord* QtWindowSystem::Find(WindowHandle window) {
    const auto found = m_windows.find(window);
    return found != m_windows.end() ? &found->second : nullptr;
}

TopLevelWindow* QtWindowSystem::WidgetOf(WindowHandle window) {
    const WindowRecord* record = Find(window);
    return record != nullptr ? record->widget.data() : nullptr;
}

DialogWindow* QtWindowSystem::DialogOf(WindowHandle window) {
    return dynamic_cast<DialogWindow*>(WidgetOf(window));
}

QWidget* QtWindowSystem::WidgetOf(const Window* window) {
    return window != nullptr ? WidgetOf(window->GetSafeHwnd()) : nullptr;
}

QWidget* QtWindowSystem::InnermostShownDialog() {
    for (auto handle = m_modalDialogs.rbegin(); handle != m_modalDialogs.rend(); ++handle) {
        QWidget* window = WidgetOf(*handle);
        if (IsOnScreen(window)) return window;
    }
    return nullptr;
}

}  // namespace platform::qt
