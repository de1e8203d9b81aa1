#include "platform/qt/notification_area.h"

#include <cstring>
#include <optional>

#include "platform/qt/qt_text.h"

namespace platform::qt {
namespace {

// WM_MBUTTONUP, which the program's own messages leave out.
constexpr Message kMiddleButtonUp = 0x0208;

// The mouse message the shell reports for an activation.
std::optional<Message> MouseMessageOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Context: return msg::RightButtonUp;
    case QSystemTrayIcon::Trigger: return msg::LeftButtonUp;
    case QSystemTrayIcon::DoubleClick: return msg::LeftButtonDoubleClick;
    case QSystemTrayIcon::MiddleClick: return kMiddleButtonUp;
    case QSystemTrayIcon::Unknown: return std::nullopt;
    }
    return std::nullopt;
}

// The tooltip's text, which ends at its NUL or at the end of the field.
QString TipText(const NotifyIconData& data) {
    return ToQString(std::string_view(data.szTip, strnlen(data.szTip, kTipSize)));
}

}  // namespace

QtNotificationArea::QtNotificationArea(WindowSystem& windows, const IconTable& icons,
                                       TrayAvailable trayAvailable)
    : m_windows(windows), m_icons(icons), m_trayAvailable(std::move(trayAvailable)) {}

bool QtNotificationArea::NotifyIcon(NotifyAction action, const NotifyIconData& data) {
    switch (action) {
    case NotifyAction::Add: return Add(data);
    case NotifyAction::Modify: return Modify(data);
    case NotifyAction::Delete: return Delete(data);
    }
    return false;
}

bool QtNotificationArea::Add(const NotifyIconData& data) {
    if (!m_trayAvailable() || m_trayIcons.contains(data.uID)) return false;
    TrayIcon& trayIcon = m_trayIcons[data.uID];
    trayIcon.icon = std::make_unique<QSystemTrayIcon>(this);
    connect(trayIcon.icon.get(), &QSystemTrayIcon::activated, this,
            [this, id = data.uID](QSystemTrayIcon::ActivationReason reason) { Activated(id, reason); });
    Apply(trayIcon, data);
    trayIcon.icon->show();
    return true;
}

bool QtNotificationArea::Modify(const NotifyIconData& data) {
    const auto found = m_trayIcons.find(data.uID);
    if (found == m_trayIcons.end()) return false;
    Apply(found->second, data);
    return true;
}

bool QtNotificationArea::Delete(const NotifyIconData& data) { return m_trayIcons.erase(data.uID) != 0; }

void QtNotificationArea::Apply(TrayIcon& trayIcon, const NotifyIconData& data) const {
    // The icon is found by its identifier, so every record names the window it reports to.
    trayIcon.target = data.hWnd;
    if ((data.uFlags & nif::MessageField) != 0) trayIcon.callbackMessage = data.uCallbackMessage;
    if ((data.uFlags & nif::IconField) != 0) trayIcon.icon->setIcon(m_icons.Find(data.hIcon));
    if ((data.uFlags & nif::TipField) != 0) trayIcon.icon->setToolTip(TipText(data));
}

void QtNotificationArea::Activated(unsigned id, QSystemTrayIcon::ActivationReason reason) {
    const auto found = m_trayIcons.find(id);
    const std::optional<Message> mouseMessage = MouseMessageOf(reason);
    if (found == m_trayIcons.end() || !mouseMessage || found->second.callbackMessage == 0) return;
    // Posted, as the shell does: the handler runs once the tray's own mouse handling is over.
    m_windows.Post(found->second.target, found->second.callbackMessage, id,
                   static_cast<LParam>(*mouseMessage));
}

}  // namespace platform::qt
