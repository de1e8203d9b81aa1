// The page handler on one document: the login form, the log-out markers and the frames walk.

#include "automation_fixture.h"

namespace automation_test {
namespace {

using platform::testing::NonStringValue;

ScriptedElement Without(ScriptedElement element, const std::string& property) {
    element.properties.erase(property);
    return element;
}

ScriptedElement FailingWrite(ScriptedElement element) {
    element.writeFails = true;
    return element;
}

// The elements of a login page's only form

struct ElementsCase {
    const char* name;
    std::vector<ScriptedElement> elements;
    Log expected;
};

class LoginFormElements : public AutomationTest,
                          public ::testing::WithParamInterface<ElementsCase> {};

TEST_P(LoginFormElements, AreFilledByNameAndSubmittedWhenBothFieldsWereFound) {
    EXPECT_EQ(ScanPage(LoginPage("login", {{.elements = GetParam().elements}})),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoginFormElements,
    ::testing::Values(
        ElementsCase{"BothFields", {Input("username"), Input("password")}, LoggedIn("login")},
        ElementsCase{
            "NamesMatchAsSubstrings",
            {Input("txtusername"), Input("password1")},
            {"login: txtusername = alice", "login: password1 = secret", "login: submit form 0"}},
        ElementsCase{"NamesAreCaseSensitive", {Input("UserName"), Input("PASSWORD")}, {}},
        ElementsCase{"NameWithBothWordsGetsTheUserNameOnly",
                     {Input("username_or_password")},
                     {"login: username_or_password = alice"}},
        ElementsCase{
            "UserNameAloneIsNotSubmitted", {Input("username")}, {"login: username = alice"}},
        ElementsCase{"FailedWriteStillCountsTheField",
                     {FailingWrite(Input("username")), Input("password")},
                     {"login: username = alice (fails)", "login: password = secret",
                      "login: submit form 0"}},
        ElementsCase{"UnreadableValuePassesTheElementOver",
                     {Without(Input("username"), "value"), Input("password")},
                     {"login: password = secret"}},
        ElementsCase{"UnreadableTypePassesTheElementOver",
                     {Input("username"), Without(Input("password"), "type")},
                     {"login: username = alice"}},
        ElementsCase{"NameThatIsNoStringMatchesNothing",
                     {{.properties = {{"name", NonStringValue()},
                                      {"value", NonStringValue()},
                                      {"type", NonStringValue()}}},
                      Input("password")},
                     {"login: password = secret"}},
        ElementsCase{"MissingElementIsPassedOver",
                     {{.missing = true}, Input("username"), Input("password")},
                     LoggedIn("login")}),
    CaseName);

TEST_F(AutomationTest, EmptyPasswordIsWrittenAndSubmitted) {
    context.m_strPassword = "";
    EXPECT_EQ(ScanPage(LoginPage("login")),
              (Log{"login: username = alice", "login: password = ", "login: submit form 0"}));
}

// The forms of one login page share their found fields

struct FormsCase {
    const char* name;
    std::vector<ScriptedForm> forms;
    Log expected;
};

class LoginPageForms : public AutomationTest, public ::testing::WithParamInterface<FormsCase> {};

TEST_P(LoginPageForms, ShareTheFoundFieldsOfTheDocument) {
    EXPECT_EQ(ScanPage(LoginPage("login", GetParam().forms)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoginPageForms,
    ::testing::Values(
        FormsCase{"FieldsInTwoFormsSubmitTheLaterOne",
                  {{.elements = {Input("username")}}, {.elements = {Input("password")}}},
                  {"login: username = alice", "login: password = secret", "login: submit form 1"}},
        FormsCase{"EveryFormAfterBothFieldsIsSubmitted",
                  {LoginForm(), {}, {.elements = {Input("search")}}},
                  {"login: username = alice", "login: password = secret", "login: submit form 0",
                   "login: submit form 1", "login: submit form 2"}},
        FormsCase{"MissingFormIsPassedOver",
                  {{.missing = true}, LoginForm()},
                  {"login: username = alice", "login: password = secret", "login: submit form 1"}},
        FormsCase{"FormWithoutElementCountIsNotSubmitted",
                  {LoginForm(), {.elementCountFails = true}, {}},
                  {"login: username = alice", "login: password = secret", "login: submit form 0",
                   "login: submit form 2"}}),
    CaseName);

// The login form step comes before the marker step, and may end the handling

struct EndingCase {
    const char* name;
    void (*script)(ScriptedDocument&);
    Log expected;
};

class LoginAndMarkerPage : public AutomationTest,
                           public ::testing::WithParamInterface<EndingCase> {};

TEST_P(LoginAndMarkerPage, HandlesTheFormFirstThenTheMarkerUnlessTheFormStepEnded) {
    context.m_strMode = "CLOSE";
    ScriptedDocument page = LoginPage("login", {LoginForm(), LoginForm()});
    page.title = Narrow("Kelvaro进销存登录中 kelvarosoft");
    GetParam().script(page);
    EXPECT_EQ(ScanPage(page), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoginAndMarkerPage,
    ::testing::Values(
        EndingCase{"BothSteps",
                   [](ScriptedDocument&) {},
                   {"login: username = alice", "login: password = secret", "login: submit form 0",
                    "login: username = alice", "login: password = secret", "login: submit form 1",
                    "login: navigate " + kShutdownUrl, "window: hide"}},
        EndingCase{"SubmitFails",
                   [](ScriptedDocument& page) { page.forms[0].submitFails = true; },
                   {"login: username = alice", "login: password = secret",
                    "login: submit form 0 (fails)"}},
        EndingCase{
            "NoFormsCollection", [](ScriptedDocument& page) { page.formsMissing = true; }, {}},
        EndingCase{
            "FormCountFails", [](ScriptedDocument& page) { page.formCountFails = true; }, {}}),
    CaseName);

// The log-out markers

constexpr const char* kPopupTitle = "如果你使用了禁止弹出窗口的控件，请点击进入系统";

struct MarkerCase {
    const char* name;
    const char* title;  // UTF-8
    const char* mode;
    std::optional<int> navigationsBeforeFailure;
    Log expected;
};

class LogOutMarkers : public AutomationTest, public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(LogOutMarkers, DriveTheApplicationPageToTheShutdownPageDuringALogOut) {
    context.m_strMode = GetParam().mode;
    ScriptedDocument page = AppPage("app");
    page.title = Narrow(GetParam().title);
    page.navigationsBeforeFailure = GetParam().navigationsBeforeFailure;
    EXPECT_EQ(ScanPage(page), GetParam().expected);
}

const std::string kNavigate = "app: navigate " + kShutdownUrl;
const std::string kNavigateFails = kNavigate + " (fails)";

INSTANTIATE_TEST_SUITE_P(
    Cases, LogOutMarkers,
    ::testing::Values(
        MarkerCase{"NoMarker", "进销存首页", "CLOSE", {}, {}},
        MarkerCase{"MarkerWithCaseDiffering", "KelvaroSoft", "CLOSE", {}, {}},
        MarkerCase{"MarkerEmptyMode", "后台登录", "", {}, {}},
        MarkerCase{"MarkerOtherMode", "后台登录", "close", {}, {}},
        MarkerCase{"MarkerClose", "后台登录", "CLOSE", {}, {kNavigate, "window: hide"}},
        MarkerCase{
            "MarkerCloseNavigationFails", "后台登录", "CLOSE", 0, {kNavigateFails, "window: hide"}},
        MarkerCase{"MarkerReload", "kelvarosoft", "RELOAD", {}, {kNavigate, "window: show"}},
        MarkerCase{"MarkerReloadNavigationFails", "kelvarosoft", "RELOAD", 0, {kNavigateFails}},
        MarkerCase{"PopupEmptyMode", kPopupTitle, "", {}, {}},
        MarkerCase{"PopupClose", kPopupTitle, "CLOSE", {}, {kNavigate, kNavigate, "window: hide"}},
        MarkerCase{"PopupCloseFirstFails", kPopupTitle, "CLOSE", 0, {kNavigateFails}},
        MarkerCase{"PopupCloseSecondFails",
                   kPopupTitle,
                   "CLOSE",
                   1,
                   {kNavigate, kNavigateFails, "window: hide"}},
        MarkerCase{
            "PopupReload", kPopupTitle, "RELOAD", {}, {kNavigate, kNavigate, "window: show"}},
        MarkerCase{"PopupReloadFirstFails", kPopupTitle, "RELOAD", 0, {kNavigateFails}},
        MarkerCase{
            "PopupReloadSecondFails", kPopupTitle, "RELOAD", 1, {kNavigate, kNavigateFails}}),
    CaseName);

TEST_F(AutomationTest, ShutdownUrlIsTheServerBaseFollowedByThePath) {
    context.m_strMode = "CLOSE";
    const struct {
        std::string server;
        std::string shutdownUrl;
    } cases[] = {
        {"http://srv/", "http://srv//login/shutdown.php"},
        {"http://srv/crm2.5", "http://srv/crm2.5/login/shutdown.php"},
    };
    for (const auto& c : cases) {
        context.m_strServer = c.server;
        ScriptedDocument page = AppPage("app");
        page.url = "http://elsewhere/index.php";  // the page's own URL plays no part
        EXPECT_EQ(ScanPage(page), (Log{"app: navigate " + c.shutdownUrl, "window: hide"}))
            << c.server;
    }
}

// The frames walk

TEST_F(AutomationTest, NestedFramesAreHandledDepthFirstBeforeTheirDocument) {
    context.m_strMode = "CLOSE";
    EXPECT_EQ(ScanPage(AppPage(
                  "D", {Frame(AppPage("F0", {Frame(AppPage("G0"))})), Frame(AppPage("F1"))})),
              ClosedPages({"G0", "F0", "F1", "D"}));
}

TEST_F(AutomationTest, LoginFrameIsFilledBeforeTheFramesetTitleIsExamined) {
    context.m_strMode = "CLOSE";
    EXPECT_EQ(ScanPage(AppPage("frameset", {Frame(LoginPage("login"))})),
              InOrder({LoggedIn("login"), ClosedPages({"frameset"})}));
}

TEST_F(AutomationTest, FoundFieldsNeverCrossFromOneFrameToAnother) {
    ScriptedDocument frameset = LoginPage("frameset", {{.elements = {Input("password")}}});
    frameset.frames = {Frame(LoginPage("A", {{.elements = {Input("username")}}})),
                       Frame(LoginPage("B", {{.elements = {Input("password")}}}))};
    EXPECT_EQ(ScanPage(frameset),
              (Log{"A: username = alice", "B: password = secret", "frameset: password = secret"}));
}

struct FramesCase {
    const char* name;
    void (*script)(ScriptedDocument& frameset);
    Log expected;  // as pages closed in order
};

class FramesWalk : public AutomationTest, public ::testing::WithParamInterface<FramesCase> {};

TEST_P(FramesWalk, PassesOverWhatCannotBeReached) {
    context.m_strMode = "CLOSE";
    ScriptedDocument frameset =
        AppPage("D", {Frame(AppPage("F0")), Frame(AppPage("F1")), Frame(AppPage("F2"))});
    GetParam().script(frameset);
    EXPECT_EQ(ScanPage(frameset), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FramesWalk,
    ::testing::Values(
        FramesCase{"AllFrames", [](ScriptedDocument&) {}, ClosedPages({"F0", "F1", "F2", "D"})},
        FramesCase{"ItemFailingEndsTheWalk",
                   [](ScriptedDocument& d) { d.frames[1] = FailingFrame(); },
                   ClosedPages({"F0", "D"})},
        FramesCase{"FrameWithoutWindow",
                   [](ScriptedDocument& d) { d.frames[1] = WindowlessFrame(); },
                   ClosedPages({"F0", "F2", "D"})},
        FramesCase{"FrameDocumentNull",
                   [](ScriptedDocument& d) { d.frames[1] = UnreachableFrame(); },
                   ClosedPages({"F0", "F2", "D"})},
        FramesCase{"NoFramesCollection", [](ScriptedDocument& d) { d.framesMissing = true; },
                   ClosedPages({"D"})},
        FramesCase{"FrameCountFails", [](ScriptedDocument& d) { d.frameCountFails = true; },
                   ClosedPages({"D"})},
        FramesCase{"UnreadableTitleVisitsNothing",
                   [](ScriptedDocument& d) { d.title = std::nullopt; },
                   {}},
        FramesCase{
            "UnreadableUrlVisitsNothing", [](ScriptedDocument& d) { d.url = std::nullopt; }, {}}),
    CaseName);

// Text in the GBK code page

class GbkPages : public AutomationTest {
protected:
    void SetUp() override { platform::text::SetProcessCodePage(platform::text::CodePage::Gbk); }
    void TearDown() override { platform::text::SetProcessCodePage(m_codePage); }

private:
    platform::text::CodePage m_codePage = platform::text::ProcessCodePage();
};

TEST_F(GbkPages, LoginPageInGbkIsFilledIn) {
    EXPECT_EQ(ScanPage(LoginPage("login")), LoggedIn("login"));
}

// A lead byte 0x81 takes the first byte of what follows as its trail byte.
TEST_F(GbkPages, TitlesMatchNothingWhenAMarkerBeginsOnATrailByte) {
    context.m_strMode = "CLOSE";
    const std::string titles[] = {
        "\x81" + Narrow("Kelvaro进销存登录中"),
        "\x81" + Narrow("kelvarosoft"),
        "\x81" + Narrow("后台登录"),
        "",  // a null title reads as empty text
    };
    for (const std::string& title : titles) {
        ScriptedDocument page = LoginPage("login");
        page.title = title;
        EXPECT_EQ(ScanPage(page), Log{}) << platform::text::ToUtf8(title);
    }
}

TEST_F(GbkPages, FieldNameBeginningOnATrailByteDoesNotMatch) {
    EXPECT_EQ(
        ScanPage(LoginPage("login", {{.elements = {Input("\x81username"), Input("password")}}})),
        Log{"login: password = secret"});
}

}  // namespace
}  // namespace automation_test
