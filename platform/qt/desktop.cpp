#include "platform/qt/desktop.h"

#include <QApplication>
#include <QFileInfo>

#include "platform/qt/icon_table.h"
#include "platform/qt/notification_area.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/shell.h"
#include "platform/qt/window_system.h"

namespace platform::qt {

struct DesktopBackends::Desktop {
    Desktop(int& argc, char** argv, const ResourceCatalogue& catalogue)
        : application(QApplication::instance() == nullptr ? std::make_unique<QApplication>(argc, argv)
                                                          : nullptr),
          resources(catalogue),
          icons(catalogue),
          windows(catalogue, icons),
          notificationArea(windows, icons) {}

    std::unique_ptr<QApplication> application;  // null when the caller made one
    const ResourceCatalogue& resources;
    IconTable icons;
    QtWindowSystem windows;
    QtNotificationArea notificationArea;
    QtShell shell;
    QtClock clock;
};

DesktopBackends::DesktopBackends(int& argc, char** argv, const ResourceCatalogue& resources)
    : m_desktop(std::make_unique<Desktop>(argc, argv, resources)) {}

DesktopBackends::~DesktopBackends() = default;

platform::Backends DesktopBackends::Backends() const {
    platform::Backends backends;
    backends.windows = &m_desktop->windows;
    backends.notificationArea = &m_desktop->notificationArea;
    backends.shell = &m_desktop->shell;
    backends.clock = &m_desktop->clock;
    backends.resources = &m_desktop->resources;
    return backends;
}

std::string DesktopBackends::ApplicationTitle() const {
    return ToNarrow(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}

}  // namespace platform::qt
