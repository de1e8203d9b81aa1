// The browser backend against a real headless Chromium and the demo server.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

#include "platform/cdp/browser_link.h"
#include "platform/cdp/cdp.h"
#include "platform/text.h"
#include "test_support.h"

namespace {

using namespace cdp_test;
using platform::text::Narrow;

constexpr const char* kLoginTitle = "Kelvaro进销存登录中";
constexpr const char* kHeadlessArguments =
    "--headless=new --no-sandbox --disable-gpu --disable-quic --no-first-run "
    "--disable-background-networking --disable-component-update --disable-sync";

// Sets environment variables for the length of a scope; nullopt unsets one.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const std::map<std::string, std::optional<std::string>>& values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
            Set(name, value);
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) Set(name, value);
    }

private:
    static void Set(const std::string& name, const std::optional<std::string>& value) {
        if (value) setenv(name.c_str(), value->c_str(), 1);
        else unsetenv(name.c_str());
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

// One demo server and one browser for the whole suite.
struct Shared {
    Shared()
        : folder(temporary.Path()),
          browserArguments(std::getenv("LUMATRA_BROWSER_ARGS") ? std::getenv("LUMATRA_BROWSER_ARGS")
                                                               : kHeadlessArguments),
          environment({{"XDG_DATA_HOME", folder + "/data"},
                       {"LUMATRA_BROWSER_ARGS", browserArguments},
                       {"LUMATRA_CDP_URL", std::nullopt}}),
          server(folder),
          link(platform::cdp::BrowserLink::FromEnvironment()),
          backends(platform::cdp::MakeBrowserBackends(link, fallback)) {}

    TemporaryFolder temporary;
    std::string folder;
    std::string browserArguments;
    ScopedEnvironment environment;
    DemoServer server;
    RecordingShell fallback;
    std::shared_ptr<platform::cdp::BrowserLink> link;
    platform::cdp::BrowserBackends backends;
};

Shared& Suite() {
    static Shared shared;
    return shared;
}

// Whether the document's login form has been parsed whole.
bool HasLoginForm(platform::Document& document) {
    const std::unique_ptr<platform::FormCollection> forms = document.Forms();
    const std::unique_ptr<platform::Form> form = forms ? forms->Item(0) : nullptr;
    return form && form->ElementCount() == 3;
}

class CdpTest : public ::testing::Test {
protected:
    platform::Browser& Browser() { return *Suite().backends.browser; }
    platform::Shell& Shell() { return *Suite().backends.shell; }
    const DemoServer& Server() { return Suite().server; }

    // `page` of the demo application, tagged so that each test finds its own tab.
    std::string Url(const std::string& page, const std::string& tag) {
        return Server().BaseUrl() + page + "?tag=" + tag;
    }
    std::unique_ptr<platform::Document> Open(const std::string& page, const std::string& tag,
                                             const std::string& title,
                                             const std::function<bool(platform::Document&)>& ready = {}) {
        EXPECT_TRUE(Shell().Open(Url(page, tag)));
        return WaitForWindow(Browser(), "tag=" + tag, title, ready);
    }
    std::unique_ptr<platform::Document> OpenLoginPage(const std::string& page, const std::string& tag) {
        return Open(page, tag, kLoginTitle, HasLoginForm);
    }
};

std::string Property(platform::FormElement& element, const char* name) {
    const std::optional<platform::PropertyValue> value = element.ReadProperty(name);
    if (!value) return "<failed>";
    return value->isString ? value->text : "<not a string>";
}

// Fills in and submits the first form of `document`, the way the page handler does.
void LogIn(platform::Document& document, const std::string& user, const std::string& password) {
    const std::unique_ptr<platform::FormCollection> forms = document.Forms();
    ASSERT_TRUE(forms);
    const std::unique_ptr<platform::Form> form = forms->Item(0);
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->Element(0)->WriteValue(Narrow(user)));
    EXPECT_TRUE(form->Element(1)->WriteValue(Narrow(password)));
    EXPECT_TRUE(form->Submit());
}

bool ServerGotLogin(const DemoServer& server, const std::string& user, const std::string& password,
                    const std::string& host = "127.0.0.1") {
    return Eventually([&] {
        return !server.LogLinesWith({"\"event\":\"login\"", "\"host\":\"" + host + "\"",
                                     "\"username\":\"" + user + "\"", "\"password\":\"" + password + "\""})
                    .empty();
    });
}

TEST_F(CdpTest, OpensWebAddressesInNewTabsOfItsOwnBrowser) {
    ASSERT_TRUE(Open("/login/initial.htm", "first", kLoginTitle));
    ASSERT_TRUE(Open("/main.htm", "second", "Kelvaro进销存 - kelvarosoft"));
    EXPECT_TRUE(FindWindow(Browser(), "tag=first")) << "the first page stays open beside the second";
    EXPECT_TRUE(Suite().fallback.opened.empty());

    struct stat profile {};
    ASSERT_EQ(stat((Suite().folder + "/data/Lumatra/browser").c_str(), &profile), 0);
    EXPECT_EQ(profile.st_mode & 0777, 0700u);

    // The profile keeps no passwords: its password manager is off from the first start.
    std::ifstream preferences(Suite().folder + "/data/Lumatra/browser/Default/Preferences");
    const std::string text((std::istreambuf_iterator<char>(preferences)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(R"("password_manager_enabled":false)"), std::string::npos) << text.substr(0, 200);
    EXPECT_NE(text.find(R"("credentials_enable_service":false)"), std::string::npos);
}

struct LoginPageCase {
    const char* page;
    const char* tag;
    const char* user;
    const char* password;
    platform::text::CodePage narrowText;  // the process's code page, which Lumatra's text is in
};

// Puts the process in a code page for the length of a scope.
class ScopedCodePage {
public:
    explicit ScopedCodePage(platform::text::CodePage codePage) : saved_(platform::text::ProcessCodePage()) {
        platform::text::SetProcessCodePage(codePage);
    }
    ~ScopedCodePage() { platform::text::SetProcessCodePage(saved_); }

private:
    platform::text::CodePage saved_;
};

class LoginPageTest : public CdpTest, public ::testing::WithParamInterface<LoginPageCase> {};

TEST_P(LoginPageTest, ReadsTheLoginFormAndSubmitsWhatWasWritten) {
    const LoginPageCase& page = GetParam();
    const ScopedCodePage codePage(page.narrowText);
    const std::unique_ptr<platform::Document> document = OpenLoginPage(page.page, page.tag);
    ASSERT_TRUE(document) << "the title reads intact in the page's own encoding";
    EXPECT_NE(document->Url().value_or("").find(page.page), std::string::npos);

    const std::unique_ptr<platform::FormCollection> forms = document->Forms();
    ASSERT_TRUE(forms);
    ASSERT_EQ(forms->Count(), 1);
    const std::unique_ptr<platform::Form> form = forms->Item(0);
    ASSERT_TRUE(form);
    ASSERT_EQ(form->ElementCount(), 3);
    const std::vector<std::vector<std::string>> expected{
        {"username", "", "text"}, {"password", "", "password"}, {"", Narrow("登 录"), "submit"}};
    for (int i = 0; i < 3; ++i) {
        const std::unique_ptr<platform::FormElement> element = form->Element(i);
        ASSERT_TRUE(element);
        EXPECT_EQ((std::vector<std::string>{Property(*element, "name"), Property(*element, "value"),
                                            Property(*element, "type")}),
                  expected[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(Property(*form->Element(0), "tagName"), "INPUT") << "any other property is read from the page";
    EXPECT_EQ(Property(*form->Element(0), "form"), "<not a string>");
    EXPECT_FALSE(form->Element(3));
    EXPECT_FALSE(forms->Item(1));

    LogIn(*document, page.user, page.password);
    EXPECT_EQ(Property(*form->Element(0), "value"), Narrow(page.user));
    EXPECT_TRUE(ServerGotLogin(Server(), page.user, page.password));
}

INSTANTIATE_TEST_SUITE_P(Encodings, LoginPageTest,
                         ::testing::Values(LoginPageCase{"/login/initial.htm", "utf8", "张三", "密 码&1",
                                                         platform::text::CodePage::Utf8},
                                           LoginPageCase{"/login/initial-gbk.htm", "gbk", "李四", "口令+2",
                                                         platform::text::CodePage::Utf8},
                                           LoginPageCase{"/login/initial.htm", "narrow-gbk", "王五", "五%3",
                                                         platform::text::CodePage::Gbk}));

TEST_F(CdpTest, LoadIdStaysForOneLoadAndChangesOnReload) {
    const std::unique_ptr<platform::Document> first = OpenLoginPage("/login/initial.htm", "reload");
    ASSERT_TRUE(first);
    const std::string load = first->LoadId();
    ASSERT_FALSE(load.empty());
    EXPECT_EQ(FindWindow(Browser(), "tag=reload")->LoadId(), load) << "a second scan sees the same load";

    ASSERT_TRUE(first->Navigate(*first->Url()));
    std::unique_ptr<platform::Document> reloaded;
    ASSERT_TRUE(Eventually([&] {
        reloaded = FindWindow(Browser(), "tag=reload");
        return reloaded && reloaded->LoadId() != load && HasLoginForm(*reloaded);
    }));

    // What the first scan read now belongs to a document that is gone: nothing acts on the new one.
    const std::unique_ptr<platform::Form> stale = first->Forms()->Item(0);
    EXPECT_FALSE(stale->Element(0)->WriteValue("stale"));
    EXPECT_FALSE(stale->Submit());
    EXPECT_FALSE(first->Navigate(Url("/main.htm", "stale")));
    const std::unique_ptr<platform::Form> fresh = reloaded->Forms()->Item(0);
    EXPECT_EQ(Property(*fresh->Element(0), "value"), "");
}

TEST_F(CdpTest, NavigatesAPageToTheShutdownPage) {
    const std::unique_ptr<platform::Document> application = Open("/main.htm", "shutdown", "Kelvaro进销存 - kelvarosoft");
    ASSERT_TRUE(application);
    const std::size_t before = Server().LogLinesWith({"\"event\":\"shutdown\""}).size();
    ASSERT_TRUE(application->Navigate(Server().BaseUrl() + "/login/shutdown.php"));
    EXPECT_TRUE(Eventually([&] { return Server().LogLinesWith({"\"event\":\"shutdown\""}).size() == before + 1; }));
    EXPECT_TRUE(WaitForWindow(Browser(), "/login/shutdown.php", "Kelvaro进销存 - 已退出"));
}

TEST_F(CdpTest, ReadsAndFillsTheLoginFormInAFrameOfAFrameset) {
    ASSERT_TRUE(Open("/login/frameset.htm", "frameset", "Kelvaro进销存"));
    // The frame shows an empty document until its own page has loaded.
    std::unique_ptr<platform::Document> frameset;
    std::optional<platform::FrameItem> frame;
    ASSERT_TRUE(Eventually([&] {
        frameset = FindWindow(Browser(), "tag=frameset");
        frame = frameset ? frameset->Frames()->Item(0) : std::nullopt;
        return frame && frame->document && frame->document->Title() == Narrow(kLoginTitle) &&
               HasLoginForm(*frame->document);
    }));
    EXPECT_TRUE(frame->hasWindow);
    EXPECT_EQ(frameset->Forms()->Count(), 0);
    EXPECT_EQ(frameset->Frames()->Count(), 1);
    EXPECT_FALSE(frameset->Frames()->Item(1));
    EXPECT_NE(frame->document->LoadId(), frameset->LoadId());
    EXPECT_EQ(frame->document->Frames()->Count(), 0);

    LogIn(*frame->document, "frame-user", "frame-password");
    EXPECT_TRUE(ServerGotLogin(Server(), "frame-user", "frame-password"));
}

TEST_F(CdpTest, AFrameOfAnotherHostHasNoDocument) {
    ASSERT_TRUE(Open("/login/cross-frame.htm", "cross", "Kelvaro进销存"));
    ASSERT_TRUE(Eventually([&] {
        return !Server().LogLinesWith({"\"host\":\"127.0.0.2\"", "\"path\":\"/crm2.5/login/initial.htm\""}).empty();
    })) << "the other host's login page loads in the frame";
    // Until it has loaded, the frame holds the empty document it started with, of the page's origin.
    const auto frame = [&] { return FindWindow(Browser(), "tag=cross")->Frames()->Item(0); };
    EXPECT_TRUE(Eventually([&] { return frame() && !frame()->document; }));
    const std::optional<platform::FrameItem> loaded = frame();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->hasWindow);
    EXPECT_FALSE(loaded->document);
}

TEST_F(CdpTest, PageScriptsCannotChangeWhatIsReadOrWritten) {
    ASSERT_TRUE(OpenLoginPage("/login/initial.htm", "isolated"));
    // The page's own scripts replace what the DOM gives them.
    const std::shared_ptr<platform::cdp::Connection> connection = Suite().link->Live();
    ASSERT_TRUE(connection);
    const auto deadline = [] { return platform::cdp::After(std::chrono::seconds(5)); };
    const platform::cdp::Reply targets = connection->Call("Target.getTargets", {}, {}, deadline());
    QString targetId;
    for (const QJsonValue target : targets.result.value("targetInfos").toArray())
        if (target.toObject().value("url").toString().contains("tag=isolated"))
            targetId = target.toObject().value("targetId").toString();
    const QString session = connection->Call("Target.attachToTarget", {{"targetId", targetId}, {"flatten", true}},
                                             {}, deadline())
                                .result.value("sessionId")
                                .toString();
    const QString tamper = R"JS(
        Object.defineProperty(document, 'title', {get: () => 'tampered'});
        HTMLFormElement.prototype.submit = function () {};
        Object.defineProperty(HTMLInputElement.prototype, 'value', {get: () => 'tampered', set: () => {}});
        document.title + document.forms[0].elements[0].value)JS";
    const platform::cdp::Reply tampered = connection->Call(
        "Runtime.evaluate", {{"expression", tamper}, {"returnByValue", true}}, session, deadline());
    ASSERT_EQ(tampered.result.value("result").toObject().value("value").toString(), "tamperedtampered");

    const std::unique_ptr<platform::Document> document = FindWindow(Browser(), "tag=isolated");
    ASSERT_TRUE(document);
    EXPECT_EQ(document->Title(), Narrow(kLoginTitle));
    EXPECT_EQ(Property(*document->Forms()->Item(0)->Element(0), "value"), "");
    LogIn(*document, "isolated-user", "isolated-password");
    EXPECT_TRUE(ServerGotLogin(Server(), "isolated-user", "isolated-password"));
}

TEST_F(CdpTest, AHungBrowserFailsTheCallsAndIsUsedAgainOnceItAnswers) {
    const std::unique_ptr<platform::Document> document = OpenLoginPage("/login/initial.htm", "hung");
    ASSERT_TRUE(document);
    ASSERT_TRUE(Suite().link->Process());
    const pid_t browser = Suite().link->Process()->Pid();
    ASSERT_EQ(kill(browser, SIGSTOP), 0);
    EXPECT_FALSE(Browser().OpenWindows());
    EXPECT_FALSE(Browser().OpenWindows()) << "the scan after it does not wait for the same browser again";
    EXPECT_FALSE(document->Forms()->Item(0)->Element(0)->WriteValue("x"));
    ASSERT_EQ(kill(browser, SIGCONT), 0);

    EXPECT_TRUE(WaitForWindow(Browser(), "tag=hung", kLoginTitle));
    EXPECT_EQ(Suite().link->Process()->Pid(), browser);
}

TEST_F(CdpTest, ABrowserKilledWhileRunningIsNoticedAndStartedAgainByTheNextOpen) {
    const std::unique_ptr<platform::Document> document = OpenLoginPage("/login/initial.htm", "killed");
    ASSERT_TRUE(document);
    ASSERT_TRUE(Suite().link->Process());
    const pid_t killed = Suite().link->Process()->Pid();
    ASSERT_EQ(kill(killed, SIGKILL), 0);

    EXPECT_TRUE(Eventually([&] { return Browser().OpenWindows() == nullptr; }));
    EXPECT_FALSE(document->Forms()->Item(0)->Element(0)->WriteValue("x"));
    EXPECT_FALSE(document->Forms()->Item(0)->Submit());
    EXPECT_FALSE(document->Navigate(Url("/main.htm", "killed")));
    EXPECT_FALSE(Browser().OpenWindows()) << "scans go on failing, and do not start the browser";
    EXPECT_FALSE(Suite().link->Process()) << "the browser that is gone is forgotten";
    EXPECT_EQ(kill(killed, 0), -1) << "and reaped: not even a zombie is left";
    EXPECT_EQ(errno, ESRCH);

    ASSERT_TRUE(Open("/login/initial.htm", "restarted", kLoginTitle));
    ASSERT_TRUE(Suite().link->Process());
    EXPECT_NE(Suite().link->Process()->Pid(), killed);
    EXPECT_TRUE(Suite().fallback.opened.empty());
}

TEST_F(CdpTest, OtherTargetsGoToTheDesktopShell) {
    RecordingShell& fallback = Suite().fallback;
    fallback.opened.clear();
    EXPECT_TRUE(Shell().Open("mailto:someone@example.com"));
    EXPECT_TRUE(Shell().Open("/tmp/help.html"));
    EXPECT_EQ(fallback.opened, (std::vector<std::string>{"mailto:someone@example.com", "/tmp/help.html"}));
    fallback.opened.clear();
}

// Environments in which there is no browser to drive.
struct NoBrowserCase {
    const char* name;
    std::map<std::string, std::optional<std::string>> environment;
};

class NoBrowserTest : public ::testing::TestWithParam<NoBrowserCase> {};

TEST_P(NoBrowserTest, TheDesktopShellOpensThePageAndLumatraSaysSoOnce) {
    const TemporaryFolder temporary;
    const std::string& emptyFolder = temporary.Path();
    std::map<std::string, std::optional<std::string>> environment = GetParam().environment;
    environment.emplace("PATH", emptyFolder);
    environment.emplace("LUMATRA_BROWSER", std::nullopt);
    environment.emplace("LUMATRA_CDP_URL", std::nullopt);
    environment.emplace("XDG_DATA_HOME", emptyFolder + "/data");
    const ScopedEnvironment scoped(environment);
    RecordingShell fallback;
    platform::cdp::BrowserBackends backends = platform::cdp::MakeBrowserBackends(fallback);

    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(backends.shell->Open("http://127.0.0.1:1/crm2.5/login/initial.htm"));
    EXPECT_TRUE(backends.shell->Open("https://127.0.0.1:1/kvdn/jxc"));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(fallback.opened, (std::vector<std::string>{"http://127.0.0.1:1/crm2.5/login/initial.htm",
                                                         "https://127.0.0.1:1/kvdn/jxc"}));
    EXPECT_NE(said.find("cannot be filled in"), std::string::npos);
    EXPECT_EQ(said.find("cannot be filled in"), said.rfind("cannot be filled in")) << "said once";
    EXPECT_FALSE(backends.browser->OpenWindows());
}

INSTANTIATE_TEST_SUITE_P(
    Environments, NoBrowserTest,
    ::testing::Values(NoBrowserCase{"NothingOnPath", {}},
                      NoBrowserCase{"MissingExecutable", {{"LUMATRA_BROWSER", "/nonexistent/chromium"}}},
                      NoBrowserCase{"NameNotOnPath", {{"LUMATRA_BROWSER", "chromium"}}},
                      NoBrowserCase{"NoDebuggingPort", {{"LUMATRA_CDP_URL", "http://127.0.0.1:1"}}}),
    [](const ::testing::TestParamInfo<NoBrowserCase>& tested) { return std::string(tested.param.name); });

// A browser the user started with a debugging port, reached over its WebSocket.
TEST_F(CdpTest, DrivesABrowserStartedWithADebuggingPort) {
    const std::optional<std::string> executable = platform::cdp::FindBrowserExecutable();
    ASSERT_TRUE(executable);
    const TemporaryFolder temporary;
    const std::string& profile = temporary.Path();
    std::vector<std::string> argv{*executable, "--remote-debugging-port=0", "--user-data-dir=" + profile};
    std::istringstream extra(Suite().browserArguments);
    for (std::string argument; extra >> argument;) argv.push_back(argument);
    argv.push_back("about:blank");
    std::optional<ChildProcess> browser(std::in_place, argv);
    std::string port;
    ASSERT_TRUE(Eventually([&] {
        std::ifstream(profile + "/DevToolsActivePort") >> port;
        return !port.empty();
    }));

    const ScopedEnvironment attach({{"LUMATRA_CDP_URL", "http://127.0.0.1:" + port}});
    RecordingShell fallback;
    platform::cdp::BrowserBackends backends = platform::cdp::MakeBrowserBackends(fallback);
    ASSERT_TRUE(backends.shell->Open(Url("/login/initial.htm", "attached")));
    const std::unique_ptr<platform::Document> document = WaitForWindow(*backends.browser, "tag=attached", kLoginTitle, HasLoginForm);
    ASSERT_TRUE(document);
    LogIn(*document, "attached-user", "attached-password");
    EXPECT_TRUE(ServerGotLogin(Server(), "attached-user", "attached-password"));
    EXPECT_TRUE(fallback.opened.empty());

    browser.reset();
    EXPECT_TRUE(Eventually([&] { return backends.browser->OpenWindows() == nullptr; }));
}

}  // namespace
