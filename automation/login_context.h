#pragma once
// What the login window lends to the browser automation: its login data, and its show/hide.

#include <string>

#include "automation/page_contract.h"  // the log-out modes that m_strMode takes
#include "platform/window.h"

// The login window's fields, narrow text in the process's code page.
struct LoginContext {
    std::string m_strServer;    // server base URL
    std::string m_strMode;      // empty, or contract::kModeReload / kModeClose for one scan
    std::string m_strUser;      // as typed, taken over when 登 录 is pressed
    std::string m_strPassword;  // as typed, taken over when 登 录 is pressed
};

// The window that owns the LoginContext, as far as the page handler acts on it.
class LoginWindowControl {
public:
    virtual ~LoginWindowControl() = default;
    virtual void ShowWindow(platform::ShowCommand command) = 0;
};
