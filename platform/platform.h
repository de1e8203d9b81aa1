#pragma once
// The backends in use.  The entry point installs them once; tests install their doubles.

#include "platform/browser.h"
#include "platform/clock.h"
#include "platform/notification_area.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/window_system.h"

namespace platform {

class FileSystem;

struct Backends {
    WindowSystem* windows = nullptr;
    NotificationArea* notificationArea = nullptr;
    Shell* shell = nullptr;
    Browser* browser = nullptr;
    FileSystem* files = nullptr;
    Clock* clock = nullptr;
    const ResourceCatalogue* resources = nullptr;
};

// Replaces the installed backends; gives the ones installed before.
Backends Install(const Backends& backends);
const Backends& Installed();

// Each accessor requires its backend to be installed.
WindowSystem& Windows();
NotificationArea& Tray();
Shell& DesktopShell();
Browser& Browsers();
FileSystem& Files();
Clock& WallClock();
const ResourceCatalogue& Resources();

// Shows a message box (OK button) with the application's title as caption.
int ShowMessage(const std::string& text, MessageIcon icon = MessageIcon::Exclamation);

}  // namespace platform
