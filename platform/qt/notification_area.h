#pragma once
// The notification area on QSystemTrayIcon.

#include <QObject>
#include <QSystemTrayIcon>

#include <functional>
#include <map>
#include <memory>

#include "platform/notification_area.h"
#include "platform/qt/icon_table.h"
#include "platform/window_system.h"

namespace platform::qt {

// Icons are known by their identifier.  Their mouse events are posted to the record's window as
// its callback message; the popup menu is the program's own, so no context menu is set here.
class QtNotificationArea : public QObject, public NotificationArea {
public:
    using TrayAvailable = std::function<bool()>;

    QtNotificationArea(WindowSystem& windows, const IconTable& icons,
                       TrayAvailable trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable);

    bool NotifyIcon(NotifyAction action, const NotifyIconData& data) override;

private:
    struct TrayIcon {
        std::unique_ptr<QSystemTrayIcon> icon;
        WindowHandle target = 0;
        unsigned callbackMessage = 0;  // 0: the record carried none
    };

    bool Add(const NotifyIconData& data);
    bool Modify(const NotifyIconData& data);
    bool Delete(const NotifyIconData& data);
    void Apply(TrayIcon& trayIcon, const NotifyIconData& data) const;
    void Activated(unsigned id, QSystemTrayIcon::ActivationReason reason);

    WindowSystem& m_windows;
    const IconTable& m_icons;
    TrayAvailable m_trayAvailable;
    std::map<unsigned, TrayIcon> m_trayIcons;  // by identifier
};

}  // namespace platform::qt
