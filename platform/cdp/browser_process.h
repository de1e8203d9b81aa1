#pragma once
// Finding, starting and ending the Chromium-family browser that Lumatra drives itself.

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/cdp/transport.h"

namespace platform::cdp {

// How to start the browser: its executable and the arguments before the first page's address.
struct LaunchPlan {
    std::string executable;
    std::vector<std::string> arguments;
};

// The browser's executable: $LUMATRA_BROWSER, else the first known Chromium-family browser on
// PATH; nullopt when there is none.
std::optional<std::string> FindBrowserExecutable();

// The profile folder of Lumatra's own browser, made readable by the user alone:
// $XDG_DATA_HOME/Lumatra/browser (or ~/.local/share/Lumatra/browser).  nullopt when it cannot be
// made.
std::optional<std::string> PrepareProfileFolder();

// The plan for `executable` with `profileFolder`, the arguments Lumatra needs and those of
// $LUMATRA_BROWSER_ARGS.
LaunchPlan MakeLaunchPlan(const std::string& executable, const std::string& profileFolder);

// A browser process started with --remote-debugging-pipe.
class BrowserProcess {
public:
    // Starts the browser on `firstPage` and gives its pipe in `transport`; null when it cannot
    // be started.
    static std::unique_ptr<BrowserProcess> Start(const LaunchPlan& plan, const std::string& firstPage,
                                                 std::unique_ptr<Transport>& transport);
    // Waits a little for the browser to end by itself (it does once its pipe is closed), then
    // kills it; either way the process is reaped.
    ~BrowserProcess();
    BrowserProcess(const BrowserProcess&) = delete;
    BrowserProcess& operator=(const BrowserProcess&) = delete;

    // True once the process has ended; it is reaped then.
    bool HasExited();
    pid_t Pid() const { return pid_; }

private:
    explicit BrowserProcess(pid_t pid) : pid_(pid) {}
    pid_t pid_;
    bool exited_ = false;
};

}  // namespace platform::cdp
