#pragma once
// The toolkit's side of the program's top-level windows.

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>

#include "platform/window.h"

namespace platform::qt {

// Hands one message to the program's side of the window.
using MessageSink = std::function<void(Message, WParam, LParam)>;

// A top-level window that delivers its timer ticks as Timer messages.  Never shown by itself: the
// hidden windows of the program are plain TopLevelWindows.
class TopLevelWindow : public QWidget {
public:
    TopLevelWindow(MessageSink sink, QWidget* owner, Qt::WindowFlags flags);

    // Starts (or restarts) timer `id`; false when the toolkit has no timer to give.
    bool StartTimer(std::uintptr_t id, unsigned milliseconds);
    bool StopTimer(std::uintptr_t id);
    // Queues a message; it is delivered from the event loop.
    void Post(Message message, WParam wParam, LParam lParam);
    // Delivers nothing more: the program's window is gone, though this widget may live a little
    // longer.
    void Disown();

protected:
    void Deliver(Message message, WParam wParam = 0, LParam lParam = 0) const;
    void timerEvent(QTimerEvent* event) override;

private:
    MessageSink m_sink;
    std::map<std::uintptr_t, int> m_timers;  // the program's timer ID -> the toolkit's
};

// Gives the activation back to `owner`, if it is shown, once a window of its own has closed, as
// Windows does; a desktop without a window manager would leave the keyboard with no window.
void ReturnActivationTo(QWidget* owner);

}  // namespace platform::qt
