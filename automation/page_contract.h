#pragma once
// The texts that Lumatra shares with the Kelvaro进销存 web application and with its login window.
//
// They are written here as UTF-8; pass each through platform::text::Narrow before comparing it
// with narrow text or sending it to the browser, so they follow the process's code page.

#include <string_view>

namespace contract {

// Page titles.
inline constexpr std::string_view kLoginMarker = "Kelvaro进销存登录中";
inline constexpr std::string_view kApplicationMarkers[] = {
    "kelvarosoft",
    "后台登录",
    "如果你使用了禁止弹出窗口的控件，请点击进入系统",
};
// The third application marker: the notice of a page that opens the application in a pop-up.
inline constexpr std::string_view kPopupNotice = kApplicationMarkers[2];

// Names of the login form's inputs.
inline constexpr std::string_view kUserField = "username";
inline constexpr std::string_view kPasswordField = "password";

// Log-out modes of the login window (m_strMode); empty outside a log-out.
inline constexpr std::string_view kModeReload = "RELOAD";
inline constexpr std::string_view kModeClose = "CLOSE";

// Pages of the server, appended to its base URL as they stand.
inline constexpr std::string_view kLoginPagePath = "/login/initial.htm";
inline constexpr std::string_view kShutdownPagePath = "/login/shutdown.php";

// Form element properties: those read from every element, and the one written.
inline constexpr std::string_view kNameProperty = "name";
inline constexpr std::string_view kValueProperty = "value";
inline constexpr std::string_view kTypeProperty = "type";
// What an element property that is no string reads as.
inline constexpr std::string_view kNonStringText = "NULL";

}  // namespace contract
