#pragma once
// What the browser automation tests share: a scripted browser, a login window that records its
// show/hide into the browser's log, and pages of the Kelvaro进销存 application.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "automation/login_automation.h"
#include "platform/testing/scripted_browser.h"
#include "platform/text.h"

namespace automation_test {

using platform::testing::FailingFrame;
using platform::testing::Frame;
using platform::testing::Input;
using platform::testing::ScriptedDocument;
using platform::testing::ScriptedElement;
using platform::testing::ScriptedForm;
using platform::testing::UnreachableFrame;
using platform::testing::WindowlessFrame;
using platform::text::Narrow;
using Log = std::vector<std::string>;

inline const std::string kServer = "http://srv/crm2.5";
inline const std::string kLoginPageUrl = "http://srv/crm2.5/login/initial.htm";
inline const std::string kShutdownUrl = "http://srv/crm2.5/login/shutdown.php";

// Names each case of a table by its `name`.
inline constexpr auto CaseName = [](const auto& testCase) {
    return std::string(testCase.param.name);
};

class RecordingWindow : public LoginWindowControl {
public:
    explicit RecordingWindow(Log& log) : m_log(log) {}
    void ShowWindow(platform::ShowCommand command) override {
        m_log.push_back(command == platform::ShowCommand::Hide ? "window: hide" : "window: show");
    }

private:
    Log& m_log;
};

inline ScriptedForm LoginForm() { return {.elements = {Input("username"), Input("password")}}; }

// A login page of the configured server; titles are built when called, in the current code page.
inline ScriptedDocument LoginPage(std::string name,
                                  std::vector<ScriptedForm> forms = {LoginForm()}) {
    return {.name = name,
            .title = Narrow("Kelvaro进销存登录中"),
            .url = kLoginPageUrl,
            .loadId = name + "#1",
            .forms = std::move(forms)};
}

// A page of the application, with an application marker in its title.
inline ScriptedDocument AppPage(std::string name,
                                std::vector<platform::testing::ScriptedFrame> frames = {}) {
    return {.name = name,
            .title = Narrow("欢迎使用kelvarosoft系统"),
            .url = "http://srv/crm2.5/main.php",
            .loadId = name + "#1",
            .frames = std::move(frames)};
}

// What a scan in "CLOSE" mode does to each application page named, in order.
inline Log ClosedPages(const std::vector<std::string>& pages) {
    Log log;
    for (const std::string& page : pages) {
        log.push_back(page + ": navigate " + kShutdownUrl);
        log.push_back("window: hide");
    }
    return log;
}

// What filling in the login form 0 of the page named does.
inline Log LoggedIn(const std::string& page) {
    return {page + ": username = alice", page + ": password = secret", page + ": submit form 0"};
}

// The logs of several steps, one after the other.
inline Log InOrder(std::initializer_list<Log> steps) {
    Log log;
    for (const Log& step : steps) log.insert(log.end(), step.begin(), step.end());
    return log;
}

class AutomationTest : public ::testing::Test {
protected:
    // Scans once with the browser's windows as they are; gives what the scan did.
    Log Scan() {
        browser.log.clear();
        automation.ScanBrowserWindows();
        return browser.log;
    }

    // Scans once with `page` as the one open window.
    Log ScanPage(ScriptedDocument page) {
        browser.windows = {std::move(page)};
        return Scan();
    }

    platform::testing::ScriptedBrowser browser;
    RecordingWindow window{browser.log};
    LoginContext context{
        .m_strServer = kServer, .m_strMode = "", .m_strUser = "alice", .m_strPassword = "secret"};
    CLoginAutomation automation{context, window, browser};
};

}  // namespace automation_test
