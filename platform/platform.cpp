#include "platform/platform.h"

#include <cassert>

namespace platform {
namespace {
Backends g_backends;

template <class T>
T& Require(T* backend) {
    assert(backend != nullptr && "backend not installed");
    return *backend;
}
}  // namespace

Backends Install(const Backends& backends) {
    Backends previous = g_backends;
    g_backends = backends;
    return previous;
}

const Backends& Installed() { return g_backends; }

WindowSystem& Windows() { return Require(g_backends.windows); }
NotificationArea& Tray() { return Require(g_backends.notificationArea); }
Shell& DesktopShell() { return Require(g_backends.shell); }
Browser& Browsers() { return Require(g_backends.browser); }
FileSystem& Files() { return Require(g_backends.files); }
Clock& WallClock() { return Require(g_backends.clock); }
const ResourceCatalogue& Resources() { return Require(g_backends.resources); }

int ShowMessage(const std::string& text, MessageIcon icon) { return Windows().MessageBox(text, icon); }

}  // namespace platform
