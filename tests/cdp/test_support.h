#pragma once
// What the browser backend's tests need around it: the demo server, a browser's process, and
// a shell that records what it was asked to open.

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/browser.h"
#include "platform/shell.h"

namespace cdp_test {

// A shell that opens nothing and remembers what it was given.
class RecordingShell : public platform::Shell {
public:
    bool Open(const std::string& target) override {
        opened.push_back(target);
        return true;
    }
    std::vector<std::string> opened;
};

// A child process, killed and reaped when it goes out of scope.
class ChildProcess {
public:
    // Starts `argv`; its standard output is readable through ReadLine().
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of the child's standard output; empty when none comes within a few seconds.
    std::string ReadLine();
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffered_;
};

// The demo server with a log of its own; serves on 127.0.0.1 and 127.0.0.2.
class DemoServer {
public:
    explicit DemoServer(const std::string& folder);
    const std::string& BaseUrl() const { return baseUrl_; }
    // The JSON lines the server has recorded so far.
    std::vector<std::string> LogLines() const;
    // Lines of the log that contain every one of `parts`.
    std::vector<std::string> LogLinesWith(const std::vector<std::string>& parts) const;

private:
    std::string log_;
    ChildProcess process_;
    std::string baseUrl_;
};

// A fresh folder under the system's temporary folder, removed with all it holds at the end.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Calls `condition` every 100 ms until it holds; false when it never does within 20 s.
bool Eventually(const std::function<bool()>& condition);

// The document of the first open window whose URL contains `urlPart`; null when there is none.
std::unique_ptr<platform::Document> FindWindow(platform::Browser& browser, const std::string& urlPart);
// Waits for such a window whose title is `title` (UTF-8) and that is `ready`.  A page's title
// can be read before the rest of it has been parsed.
std::unique_ptr<platform::Document> WaitForWindow(platform::Browser& browser, const std::string& urlPart,
                                                  const std::string& title,
                                                  const std::function<bool(platform::Document&)>& ready = {});

}  // namespace cdp_test
