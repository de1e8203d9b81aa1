#include "test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/text.h"

extern char** environ;

namespace cdp_test {

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    std::vector<std::string> arguments = argv;
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid_, pointers[0], &actions, nullptr, pointers.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    output_ = fds[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) close(output_);
}

std::string ChildProcess::ReadLine() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (buffered_.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd entry{output_, POLLIN, 0};
        if (poll(&entry, 1, 100) <= 0) continue;
        char chunk[256];
        const ssize_t got = read(output_, chunk, sizeof chunk);
        if (got <= 0) break;
        buffered_.append(chunk, static_cast<std::size_t>(got));
    }
    const std::size_t end = buffered_.find('\n');
    if (end == std::string::npos) return {};
    std::string line = buffered_.substr(0, end);
    buffered_.erase(0, end + 1);
    return line;
}

DemoServer::DemoServer(const std::string& folder)
    : log_(folder + "/demo-server.log"),
      process_({LUMATRA_DEMO_SERVER, "--port", "0", "--other-host", "--log", log_}),
      baseUrl_(process_.ReadLine()) {}

std::vector<std::string> DemoServer::LogLines() const {
    std::vector<std::string> lines;
    std::ifstream log(log_);
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> DemoServer::LogLinesWith(const std::vector<std::string>& parts) const {
    std::vector<std::string> matching;
    for (const std::string& line : LogLines()) {
        bool all = true;
        for (const std::string& part : parts) all = all && line.find(part) != std::string::npos;
        if (all) matching.push_back(line);
    }
    return matching;
}

TemporaryFolder::TemporaryFolder() : path_("/tmp/lumatra-cdp-test-XXXXXX") {
    if (!mkdtemp(path_.data())) path_.clear();
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

bool Eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::unique_ptr<platform::Document> FindWindow(platform::Browser& browser, const std::string& urlPart) {
    const std::unique_ptr<platform::BrowserWindowList> windows = browser.OpenWindows();
    for (int i = 0; windows && i < windows->Count(); ++i) {
        std::unique_ptr<platform::Document> document = windows->WindowDocument(i);
        if (document && document->Url().value_or("").find(urlPart) != std::string::npos) return document;
    }
    return nullptr;
}

std::unique_ptr<platform::Document> WaitForWindow(platform::Browser& browser, const std::string& urlPart,
                                                  const std::string& title,
                                                  const std::function<bool(platform::Document&)>& ready) {
    std::unique_ptr<platform::Document> found;
    const bool shown = Eventually([&] {
        found = FindWindow(browser, urlPart);
        return found && found->Title() == platform::text::Narrow(title) && (!ready || ready(*found));
    });
    return shown ? std::move(found) : nullptr;
}

}  // namespace cdp_test
