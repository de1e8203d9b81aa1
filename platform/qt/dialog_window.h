#pragma once
// A dialog's window, built from its template: controls, keyboard interface, modal loop and the
// equivalent of the system menu.

#include <QMenu>

#include <optional>
#include <vector>

#include "platform/qt/top_level_window.h"
#include "platform/resources.h"

class QEventLoop;

namespace platform::qt {

class DialogWindow : public TopLevelWindow {
public:
    // `owner` is the window the dialog belongs to (null for none): it takes no input while the
    // dialog is shown.
    DialogWindow(MessageSink sink, QWidget* owner, const DialogTemplate& dialogTemplate,
                 const ResourceCatalogue& resources);

    // The first control with the given ID (several statics share -1); null when there is none.
    QWidget* Control(int controlId) const;
    QString ControlText(int controlId) const;
    void SetControlText(int controlId, const QString& text);
    // Gives the keyboard focus to the first tab stop, as a dialog does when it opens.
    void FocusFirstTabStop();

    // Runs until EndModalLoop and gives its result; at once when the loop was ended before.
    int RunModalLoop();
    // Hides the window and ends its modal loop with `result`.
    void EndModalLoop(int result);
    bool ModalLoopEnded() const { return m_modalResult.has_value(); }

    // X11 has no system menu: its equivalent opens with a right click on the window's background
    // or with Alt+Space, and holds the items the program appends.
    bool HasSystemMenu() const { return m_hasSystemMenu; }
    void AppendSystemMenu(unsigned id, const QString& text);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct DialogControl {
        int id;
        bool tabStop;
        QWidget* widget;
    };

    void AddControl(const ControlTemplate& control, const ResourceCatalogue& resources);
    void SendCommand(int id) const;
    // Enter presses the push button that has the focus, else the default button, else IDOK.
    int EnterCommand() const;
    void ShowSystemMenu(const QPoint& at);

    std::vector<DialogControl> m_controls;  // in template order
    std::optional<int> m_defaultButton;
    bool m_hasSystemMenu;
    QMenu* m_systemMenu = nullptr;  // made by the first append; a child of this window
    QEventLoop* m_modalLoop = nullptr;
    std::optional<int> m_modalResult;
    bool m_blockedByModal = false;
};

}  // namespace platform::qt
