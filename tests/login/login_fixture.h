#pragma once
// A login window on the headless desktop, with a scripted browser and an in-memory config.ini.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "login/login_dlg.h"
#include "platform/application.h"
#include "platform/platform.h"
#include "platform/testing/fake_desktop.h"
#include "platform/testing/memory_files.h"
#include "platform/testing/scripted_browser.h"
#include "platform/text.h"
#include "res/catalogue.h"
#include "res/resource.h"

namespace lumatra_test {

using platform::testing::FakeDesktop;
using platform::testing::MemoryFiles;
using platform::testing::ScriptedBrowser;
using platform::testing::ScriptedDocument;

inline const std::string kConfigPath = "/home/user/config.ini";

inline std::string N(const char* utf8) { return platform::text::Narrow(utf8); }

// A login page of the server "http://srv/crm2.5" with one form holding both fields.
inline ScriptedDocument LoginPage(const std::string& loadId = "login-1") {
    ScriptedDocument page;
    page.name = "login";
    page.title = N("Kelvaro进销存登录中");
    page.url = "http://srv/crm2.5/login/initial.htm";
    page.loadId = loadId;
    page.forms = {{{platform::testing::Input("username"), platform::testing::Input("password")}}};
    return page;
}

// A page of the application, which a log-out drives to the shutdown page.
inline ScriptedDocument ApplicationPage() {
    ScriptedDocument page;
    page.name = "app";
    page.title = "kelvarosoft";
    page.url = "http://srv/crm2.5/main.htm";
    page.loadId = "app-1";
    return page;
}

class LoginWindowTest : public ::testing::Test {
protected:
    LoginWindowTest() {
        m_files.PutFile(kConfigPath, "http://srv/crm2.5\r\r\n");
        m_previous = platform::Install(m_desktop.AsBackends(&ProgramResources(), &m_browser, &m_files));
    }
    ~LoginWindowTest() override { platform::Install(m_previous); }

    // Runs a login window as the main window with the steps queued on the desktop.
    int RunLoginWindow(CLoginDlg& dlg) {
        m_app.m_pMainWnd = &dlg;
        return dlg.DoModal();
    }

    // The state of the running login window (valid inside steps).
    FakeDesktop::WindowState& Window(const CLoginDlg& dlg) { return *m_desktop.StateOf(dlg); }

    // Queues a right click on the tray icon that picks `command` from its menu.
    void ChooseFromTrayMenu(unsigned command) {
        m_desktop.Then([this, command] { m_desktop.ChooseFromNextPopup(command); })
            .ClickTrayIcon(IDR_TRAYMENU, platform::msg::RightButtonUp);
    }

    platform::Application m_app{"Lumatra"};
    FakeDesktop m_desktop;
    ScriptedBrowser m_browser;
    MemoryFiles m_files{"/home/user"};
    platform::Backends m_previous;
};

}  // namespace lumatra_test
