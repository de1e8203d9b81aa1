#include "platform/qt/dialog_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "platform/dialog.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_text.h"

namespace platform::qt {
namespace {

bool HasStyle(const DialogTemplate& dialogTemplate, std::uint32_t bits) {
    return (dialogTemplate.style & bits) != 0;
}

// A fixed frame with the caption's boxes the style asks for.  A window with a minimise box is an
// ordinary window, since window managers give dialogs none.
Qt::WindowFlags FlagsFor(const DialogTemplate& dialogTemplate) {
    const bool minimizeBox = HasStyle(dialogTemplate, style::MinimizeBox);
    Qt::WindowFlags flags = minimizeBox ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (HasStyle(dialogTemplate, style::SysMenu))
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (minimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}

}  // namespace

DialogWindow::DialogWindow(MessageSink sink, QWidget* owner, const DialogTemplate& dialogTemplate,
                           const ResourceCatalogue& resources)
    : TopLevelWindow(std::move(sink), owner, FlagsFor(dialogTemplate)),
      m_hasSystemMenu(HasStyle(dialogTemplate, style::SysMenu)) {
    setWindowTitle(FromUtf8(dialogTemplate.caption));
    setWindowModality(Qt::WindowModal);
    if (dialogTemplate.pointSize > 0) {
        QFont templateFont = font();
        templateFont.setPointSize(dialogTemplate.pointSize);
        setFont(templateFont);
    }
    setFixedSize(DialogUnitsToPixels(dialogTemplate.cx, dialogTemplate.cy));
    // Made in template order, which the focus chain follows: tab order is template order.
    for (const ControlTemplate& control : dialogTemplate.controls) AddControl(control, resources);
}

void DialogWindow::AddControl(const ControlTemplate& control, const ResourceCatalogue& resources) {
    QWidget* widget = MakeControl(control, resources, *this);
    if (auto* button = qobject_cast<QPushButton*>(widget))
        connect(button, &QPushButton::clicked, this, [this, id = control.id] { SendCommand(id); });
    if (IsDefaultButton(control)) m_defaultButton = control.id;
    m_controls.push_back({control.id, IsTabStop(control), widget});
}

QWidget* DialogWindow::Control(int controlId) const {
    for (const DialogControl& control : m_controls)
        if (control.id == controlId) return control.widget;
    return nullptr;
}

QString DialogWindow::ControlText(int controlId) const {
    QWidget* control = Control(controlId);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
    if (auto* button = qobject_cast<QPushButton*>(control)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    return {};
}

void DialogWindow::SetControlText(int controlId, const QString& text) {
    QWidget* control = Control(controlId);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* button = qobject_cast<QPushButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
}

void DialogWindow::FocusFirstTabStop() {
    for (const DialogControl& control : m_controls) {
        if (control.tabStop && control.widget->isVisibleTo(this)) {
            // As a dialog does, an edit that takes the focus this way has its text selected.
            control.widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

int DialogWindow::RunModalLoop() {
    if (!m_modalResult) {
        QEventLoop loop;
        m_modalLoop = &loop;
        loop.exec(QEventLoop::DialogExec);
        m_modalLoop = nullptr;
    }
    // The application quitting ends every loop: the dialog then ends as one that failed.
    return m_modalResult.value_or(kDialogFailed);
}

void DialogWindow::EndModalLoop(int result) {
    m_modalResult = result;
    const bool wasActive = isActiveWindow();
    hide();
    if (wasActive) ReturnActivationTo(parentWidget());
    if (m_modalLoop != nullptr) m_modalLoop->exit();
}

void DialogWindow::AppendSystemMenu(unsigned id, const QString& text) {
    if (m_systemMenu == nullptr) {
        m_systemMenu = new QMenu(this);
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
        connect(shortcut, &QShortcut::activated, this, [this] { ShowSystemMenu(mapToGlobal(QPoint(0, 0))); });
    }
    if (text.isEmpty()) {
        m_systemMenu->addSeparator();
        return;
    }
    QAction* item = m_systemMenu->addAction(text);
    connect(item, &QAction::triggered, this, [this, id] { Deliver(msg::SysCommand, id); });
}

void DialogWindow::ShowSystemMenu(const QPoint& at) { m_systemMenu->popup(at); }

void DialogWindow::SendCommand(int id) const {
    Deliver(msg::Command, static_cast<WParam>(static_cast<unsigned>(id) & 0xFFFFu));
}

int DialogWindow::EnterCommand() const {
    const QWidget* focused = focusWidget();
    if (qobject_cast<const QPushButton*>(focused) != nullptr) {
        for (const DialogControl& control : m_controls)
            if (control.widget == focused) return control.id;
    }
    return m_defaultButton.value_or(static_cast<int>(IDOK));
}

bool DialogWindow::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowBlocked: m_blockedByModal = true; break;
    case QEvent::WindowUnblocked: m_blockedByModal = false; break;
    case QEvent::WindowActivate:
        // A click on a window that a modal window blocks activates the modal window, as on
        // Windows; without it, a desktop with no window manager would leave the keyboard with a
        // window that ignores it.
        if (QWidget* modal = QApplication::activeModalWidget(); m_blockedByModal && modal != nullptr)
            modal->activateWindow();
        break;
    default: break;
    }
    return TopLevelWindow::event(event);
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: SendCommand(EnterCommand()); return;
    case Qt::Key_Escape: SendCommand(static_cast<int>(IDCANCEL)); return;
    default: TopLevelWindow::keyPressEvent(event);
    }
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The close box asks; only the program's EndModal closes the window.
    event->ignore();
    SendCommand(static_cast<int>(IDCANCEL));
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (m_systemMenu == nullptr) {
        TopLevelWindow::contextMenuEvent(event);
        return;
    }
    ShowSystemMenu(event->globalPos());
}

void DialogWindow::paintEvent(QPaintEvent* event) {
    TopLevelWindow::paintEvent(event);
    Deliver(msg::Paint);
}

}  // namespace platform::qt
