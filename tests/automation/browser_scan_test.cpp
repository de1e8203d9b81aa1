// The scan of the open browser windows, and the memory of the login pages already submitted.

#include "automation_fixture.h"

namespace automation_test {
namespace {

TEST_F(AutomationTest, NothingHappensWithoutBrowserWindows) {
    EXPECT_EQ(Scan(), Log{});
    browser.openWindowsFails = true;
    EXPECT_EQ(Scan(), Log{});
}

// A window whose item fails, that is no web browser or that holds no HTML document gives no
// document; the windows after it are handled all the same.
TEST_F(AutomationTest, WindowsWithoutDocumentArePassedOverAndLoginPagesHandledInIndexOrder) {
    browser.windows = {std::nullopt, LoginPage("first"), std::nullopt, LoginPage("second")};
    EXPECT_EQ(Scan(), InOrder({LoggedIn("first"), LoggedIn("second")}));
}

TEST_F(AutomationTest, LoginPageIsSubmittedOnceForEachLoad) {
    browser.windows = {LoginPage("login")};
    EXPECT_EQ(Scan(), LoggedIn("login"));
    EXPECT_EQ(Scan(), Log{}) << "the server is still answering the first submit";

    browser.windows[0]->loadId = "login#2";  // the server answered with its login page again
    EXPECT_EQ(Scan(), LoggedIn("login"));
    EXPECT_EQ(Scan(), Log{});
}

TEST_F(AutomationTest, LoginPageWithoutLoadIdIsSubmittedAtEveryScan) {
    ScriptedDocument page = LoginPage("login");
    page.loadId = "";
    browser.windows = {page};
    EXPECT_EQ(Scan(), LoggedIn("login"));
    EXPECT_EQ(Scan(), LoggedIn("login"));
}

TEST_F(AutomationTest, FailedSubmitIsTriedAgainAtTheNextScan) {
    browser.windows = {LoginPage("login")};
    browser.windows[0]->forms[0].submitFails = true;
    Scan();
    browser.windows[0]->forms[0].submitFails = false;
    EXPECT_EQ(Scan(), LoggedIn("login"));
}

TEST_F(AutomationTest, SubmittedPagesAreRememberedOnlyWhileTheyAreOpen) {
    browser.windows = {LoginPage("login")};
    Scan();
    browser.openWindowsFails = true;  // nothing could be looked at: nothing is forgotten
    Scan();
    browser.openWindowsFails = false;
    EXPECT_EQ(Scan(), Log{});

    const ScriptedDocument page = *browser.windows[0];
    browser.windows.clear();  // the page was closed
    Scan();
    browser.windows = {page};
    EXPECT_EQ(Scan(), LoggedIn("login"));
}

TEST_F(AutomationTest, SubmittedFramesAreRememberedByTheirOwnLoad) {
    browser.windows = {AppPage("frameset", {Frame(LoginPage("A")), Frame(LoginPage("B"))})};
    EXPECT_EQ(Scan(), InOrder({LoggedIn("A"), LoggedIn("B")}));
    EXPECT_EQ(Scan(), Log{});
}

}  // namespace
}  // namespace automation_test
