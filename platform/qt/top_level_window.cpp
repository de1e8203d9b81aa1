#include "platform/qt/top_level_window.h"

#include <QTimerEvent>

#include <algorithm>
#include <chrono>

namespace platform::qt {

TopLevelWindow::TopLevelWindow(MessageSink sink, QWidget* owner, Qt::WindowFlags flags)
    : QWidget(owner, flags), m_sink(std::move(sink)) {}

bool TopLevelWindow::StartTimer(std::uintptr_t id, unsigned milliseconds) {
    StopTimer(id);
    const int timer = startTimer(std::chrono::milliseconds(milliseconds));
    if (timer == 0) return false;
    m_timers[id] = timer;
    return true;
}

bool TopLevelWindow::StopTimer(std::uintptr_t id) {
    const auto found = m_timers.find(id);
    if (found == m_timers.end()) return false;
    killTimer(found->second);
    m_timers.erase(found);
    return true;
}

void TopLevelWindow::Post(Message message, WParam wParam, LParam lParam) {
    QMetaObject::invokeMethod(
        this, [this, message, wParam, lParam] { Deliver(message, wParam, lParam); }, Qt::QueuedConnection);
}

void TopLevelWindow::Disown() {
    for (const auto& [id, timer] : m_timers) killTimer(timer);
    m_timers.clear();
    m_sink = nullptr;
}

void TopLevelWindow::Deliver(Message message, WParam wParam, LParam lParam) const {
    if (m_sink) m_sink(message, wParam, lParam);
}

void TopLevelWindow::timerEvent(QTimerEvent* event) {
    const auto tick = std::find_if(m_timers.begin(), m_timers.end(),
                                   [&](const auto& entry) { return entry.second == event->timerId(); });
    if (tick == m_timers.end()) {
        QWidget::timerEvent(event);
        return;
    }
    Deliver(msg::Timer, tick->first);
}

void ReturnActivationTo(QWidget* owner) {
    if (owner != nullptr && owner->isVisible()) owner->activateWindow();
}

}  // namespace platform::qt
