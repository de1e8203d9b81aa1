#pragma once
// The program's desktop on Qt 6, made at once by the entry point.  This header includes no Qt
// header, so that the entry point stays free of the toolkit.

#include <memory>
#include <string>

#include "platform/platform.h"

namespace platform::qt {

// The toolkit's application object (made here unless one exists) and the window system, the
// notification area, the shell and the clock built on it.  Lives as long as the program runs
// windows; `argc` and `argv` must outlive it.
class DesktopBackends {
public:
    DesktopBackends(int& argc, char** argv, const ResourceCatalogue& resources);
    ~DesktopBackends();
    DesktopBackends(const DesktopBackends&) = delete;
    DesktopBackends& operator=(const DesktopBackends&) = delete;

    // These backends and `resources`; the browser and the files are left to others.
    platform::Backends Backends() const;

    // The application's title: the running executable's file name without its extension.
    std::string ApplicationTitle() const;

private:
    struct Desktop;
    std::unique_ptr<Desktop> m_desktop;
};

}  // namespace platform::qt
