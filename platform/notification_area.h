#pragma once
// The notification area ("system tray"): one record per icon, added, modified and deleted.

#include <cstdint>

#include "platform/window.h"

namespace platform {

// Which fields of the record a call carries.
namespace nif {
inline constexpr unsigned MessageField = 1;
inline constexpr unsigned IconField = 2;
inline constexpr unsigned TipField = 4;
}  // namespace nif

enum class NotifyAction : unsigned { Add = 0, Modify = 1, Delete = 2 };

inline constexpr std::uint32_t kNotifyIconDataSize = 88;
inline constexpr std::size_t kTipSize = 64;  // bytes, the terminating NUL included

// The record of one icon: the window its callback goes to, its identifier, image and tooltip.
struct NotifyIconData {
    std::uint32_t cbSize = 0;
    WindowHandle hWnd = 0;
    unsigned uID = 0;
    unsigned uFlags = 0;
    unsigned uCallbackMessage = 0;
    Icon hIcon = 0;
    char szTip[kTipSize] = {};  // narrow text, NUL-terminated
};

class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    // The shell's answer: true on success.  Mouse events on an icon reach the record's hWnd as
    // its uCallbackMessage, with wParam = uID and the mouse message in the low word of lParam.
    virtual bool NotifyIcon(NotifyAction action, const NotifyIconData& data) = 0;
};

}  // namespace platform
