// Timings of the browser backend, against a headless Chromium and the demo server; not a test.
//
//   cdp_benchmark
//
// 1. CPU time per scan with 1, 10 and 50 open pages: every page's frame tree read and walked the
//    way the page handler walks it.
// 2. Milliseconds from the login page's load event to the server receiving the login, scanning
//    twice a second as the login window's timer does (median over 20 logins).

#include <sys/resource.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <thread>

#include "platform/cdp/browser_link.h"
#include "platform/cdp/cdp.h"
#include "platform/text.h"
#include "test_support.h"

namespace {

using namespace cdp_test;
using std::chrono::milliseconds;

const std::string kLoginTitle = platform::text::Narrow("Kelvaro进销存登录中");

double CpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Reads what the page handler reads of `document` and its frames; calls `onLogin` for a login page.
void Walk(platform::Document& document, const std::function<void(platform::Document&)>& onLogin = {}) {
    if (const std::unique_ptr<platform::FrameCollection> frames = document.Frames()) {
        for (int k = 0; k < frames->Count().value_or(0); ++k)
            if (std::optional<platform::FrameItem> frame = frames->Item(k); frame && frame->document)
                Walk(*frame->document, onLogin);
    }
    const std::string title = document.Title().value_or("");
    document.Url();
    if (title.find(kLoginTitle) == std::string::npos) return;
    const std::unique_ptr<platform::FormCollection> forms = document.Forms();
    for (int i = 0; forms && i < forms->Count().value_or(0); ++i) {
        const std::unique_ptr<platform::Form> form = forms->Item(i);
        for (int j = 0; form && j < form->ElementCount().value_or(0); ++j)
            if (const std::unique_ptr<platform::FormElement> element = form->Element(j))
                for (const char* name : {"name", "value", "type"}) element->ReadProperty(name);
    }
    if (onLogin) onLogin(document);
}

int Scan(platform::Browser& browser, const std::function<void(platform::Document&)>& onLogin = {}) {
    const std::unique_ptr<platform::BrowserWindowList> windows = browser.OpenWindows();
    int read = 0;
    for (int i = 0; windows && i < windows->Count(); ++i) {
        if (const std::unique_ptr<platform::Document> document = windows->WindowDocument(i)) {
            Walk(*document, onLogin);
            ++read;
        }
    }
    return read;
}

void MeasureScans(platform::Browser& browser, platform::Shell& shell, const std::string& baseUrl) {
    int open = 0;
    for (const int pages : {1, 10, 50}) {
        for (; open < pages; ++open)
            shell.Open(baseUrl + (open % 2 ? "/main.htm" : "/login/frameset.htm") + "?bench=" + std::to_string(open));
        if (!Eventually([&] { return Scan(browser) >= pages; })) {
            std::printf("%d pages: not all could be read\n", pages);
            continue;
        }
        constexpr int kScans = 20;
        const double cpuBefore = CpuMilliseconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        for (int i = 0; i < kScans; ++i) Scan(browser);
        const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallBefore).count();
        std::printf("%2d pages: %.2f ms CPU per scan, %.1f ms per scan in all\n", pages,
                    (CpuMilliseconds() - cpuBefore) / kScans, wall / kScans);
    }
}

std::vector<QJsonObject> Events(const DemoServer& server, const char* event) {
    std::vector<QJsonObject> events;
    for (const std::string& line : server.LogLines()) {
        const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        if (object.value("event").toString() == event) events.push_back(object);
    }
    return events;
}

void MeasureLogins(platform::Browser& browser, platform::Shell& shell, const DemoServer& server) {
    std::vector<double> latencies;
    std::set<std::string> submitted;
    const auto fillIn = [&](platform::Document& document) {
        if (!submitted.insert(document.LoadId()).second) return;
        const std::unique_ptr<platform::Form> form = document.Forms()->Item(0);
        form->Element(0)->WriteValue("bench");
        form->Element(1)->WriteValue("secret");
        form->Submit();
    };
    // The page opens at any moment of the timer's period.
    std::mt19937 random(20);
    std::uniform_int_distribution<int> moment(0, 499);
    for (int i = 0; i < 20; ++i) {
        const std::size_t logins = Events(server, "login").size();
        auto tick = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(milliseconds(moment(random)));
        shell.Open(server.BaseUrl() + "/login/initial.htm?login=" + std::to_string(i));
        for (int ticks = 0; ticks < 40 && Events(server, "login").size() == logins; ++ticks) {
            tick += milliseconds(500);
            std::this_thread::sleep_until(tick);
            Scan(browser, fillIn);
        }
        const std::vector<QJsonObject> loaded = Events(server, "loaded");
        const std::vector<QJsonObject> login = Events(server, "login");
        if (loaded.empty() || login.size() <= logins) continue;
        latencies.push_back(login.back().value("time_ms").toDouble() -
                            loaded.back().value("page_time_ms").toString().toDouble());
    }
    std::sort(latencies.begin(), latencies.end());
    if (!latencies.empty())
        std::printf("load event to login at the server: median %.0f ms over %zu logins (%.0f to %.0f)\n",
                    latencies[latencies.size() / 2], latencies.size(), latencies.front(), latencies.back());
}

}  // namespace

int main() {
    const TemporaryFolder temporary;
    const std::string& folder = temporary.Path();
    setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);
    setenv("LUMATRA_BROWSER_ARGS",
           "--headless=new --no-sandbox --disable-gpu --disable-quic --no-first-run "
           "--disable-background-networking --disable-component-update --disable-sync",
           0);
    DemoServer server(folder);
    RecordingShell fallback;
    platform::cdp::BrowserBackends backends = platform::cdp::MakeBrowserBackends(fallback);
    MeasureLogins(*backends.browser, *backends.shell, server);
    MeasureScans(*backends.browser, *backends.shell, server.BaseUrl());
}
