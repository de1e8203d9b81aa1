// The password goes only to the configured server, and only once the user has logged in.

#include "automation_fixture.h"

namespace automation_test {
namespace {

struct HostCase {
    const char* name;
    const char* pageUrl;
    bool filled;
};

class LoginPageHost : public AutomationTest, public ::testing::WithParamInterface<HostCase> {};

TEST_P(LoginPageHost, OnlyTheConfiguredServerReceivesTheCredentials) {
    ScriptedDocument page = LoginPage("login");
    page.url = GetParam().pageUrl;
    EXPECT_EQ(ScanPage(page), GetParam().filled ? LoggedIn("login") : Log{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoginPageHost,
    ::testing::Values(
        HostCase{"ConfiguredServer", "http://srv/crm2.5/login/initial.htm", true},
        HostCase{"HttpsOtherPortOtherCase", "https://SRV:8443/crm2.5/login/initial.htm", true},
        HostCase{"OtherHost", "http://evil.example/crm2.5/login/initial.htm", false},
        HostCase{"ServerAsSubdomain", "http://srv.evil.example/login/initial.htm", false},
        HostCase{"ServerAsUserName", "http://srv@evil.example/login/initial.htm", false},
        HostCase{"ServerInQuery", "http://evil.example/?next=http://srv/", false},
        HostCase{"NoHost", "about:blank", false}),
    CaseName);

TEST_F(AutomationTest, PageOnAnotherHostWithTheApplicationMarkerIsStillLoggedOut) {
    context.m_strMode = "RELOAD";
    ScriptedDocument page = AppPage("app");
    page.url = "http://mirror.example/main.php";
    EXPECT_EQ(ScanPage(page), (Log{"app: navigate " + kShutdownUrl, "window: show"}));
}

TEST_F(AutomationTest, NoLoginFormIsFilledBeforeTheUserLogsIn) {
    context.m_strUser = "";
    context.m_strPassword = "";
    browser.windows = {LoginPage("login")};
    EXPECT_EQ(Scan(), Log{});

    context.m_strUser = "alice";  // 登 录 pressed
    context.m_strPassword = "secret";
    EXPECT_EQ(Scan(), LoggedIn("login"));
}

}  // namespace
}  // namespace automation_test
