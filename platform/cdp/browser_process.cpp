#include "platform/cdp/browser_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <thread>

extern char** environ;

namespace platform::cdp {
namespace {

constexpr const char* kKnownBrowsers[] = {"chromium", "chromium-browser", "google-chrome",
                                          "google-chrome-stable", "microsoft-edge"};
// The browser reads commands on this descriptor and writes replies and events on the next.
constexpr int kCommandFd = 3;
constexpr int kEventFd = 4;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::vector<std::string> SplitOnSpaces(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream stream(text);
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

std::optional<std::string> FindOnPath(const std::string& name) {
    std::istringstream path(Environment("PATH"));
    for (std::string folder; std::getline(path, folder, ':');) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

bool MakeFolder(const std::string& folder) {
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// A new profile starts with the browser's password manager off: the password that Lumatra types
// must not end up saved in the profile, nor be offered for saving to the user.
bool SeedPreferences(const std::string& profile) {
    const std::string folder = profile + "/Default";
    if (!MakeFolder(folder)) return false;
    const std::string path = folder + "/Preferences";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return errno == EEXIST;
    static constexpr std::string_view kPreferences =
        R"({"credentials_enable_service":false,"profile":{"password_manager_enabled":false}})";
    const bool written = write(fd, kPreferences.data(), kPreferences.size()) ==
                         static_cast<ssize_t>(kPreferences.size());
    return close(fd) == 0 && written;
}

// A descriptor numbered above the ones the child's descriptors are moved to, so that moving
// one never lands on another.
UniqueFd AboveChildDescriptors(UniqueFd fd) {
    return UniqueFd(fcntl(fd.Get(), F_DUPFD_CLOEXEC, kEventFd + 1));
}

// A connected pair of sockets; the browser reads and writes its pipe descriptors like pipes,
// and a socket lets our writes fail without SIGPIPE when it has gone.
bool SocketPair(UniqueFd& ours, UniqueFd& theirs) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return false;
    ours = UniqueFd(fds[0]);
    theirs = AboveChildDescriptors(UniqueFd(fds[1]));
    return theirs.IsValid();
}

pid_t Spawn(const LaunchPlan& plan, const std::string& firstPage, int commandFd, int eventFd) {
    std::vector<std::string> arguments{plan.executable};
    arguments.insert(arguments.end(), plan.arguments.begin(), plan.arguments.end());
    arguments.push_back(firstPage);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, commandFd, kCommandFd);
    posix_spawn_file_actions_adddup2(&actions, eventFd, kEventFd);
    // The browser's own diagnostics are not Lumatra's to show.
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    const int error = posix_spawnp(&pid, plan.executable.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

}  // namespace

std::optional<std::string> FindBrowserExecutable() {
    const std::string chosen = Environment("LUMATRA_BROWSER");
    if (!chosen.empty()) return chosen.find('/') == std::string::npos ? FindOnPath(chosen) : chosen;
    for (const char* name : kKnownBrowsers)
        if (std::optional<std::string> found = FindOnPath(name)) return found;
    return std::nullopt;
}

std::optional<std::string> PrepareProfileFolder() {
    std::string dataHome = Environment("XDG_DATA_HOME");
    if (dataHome.empty()) {
        const std::string home = Environment("HOME");
        if (home.empty()) return std::nullopt;
        dataHome = home + "/.local/share";
        if (!MakeFolder(home + "/.local")) return std::nullopt;
    }
    const std::string lumatra = dataHome + "/Lumatra";
    const std::string profile = lumatra + "/browser";
    if (!MakeFolder(dataHome) || !MakeFolder(lumatra) || !MakeFolder(profile)) return std::nullopt;
    if (chmod(profile.c_str(), 0700) != 0 || !SeedPreferences(profile)) return std::nullopt;
    return profile;
}

LaunchPlan MakeLaunchPlan(const std::string& executable, const std::string& profileFolder) {
    LaunchPlan plan{executable,
                    {"--remote-debugging-pipe", "--user-data-dir=" + profileFolder, "--no-first-run",
                     "--no-default-browser-check"}};
    for (std::string& argument : SplitOnSpaces(Environment("LUMATRA_BROWSER_ARGS")))
        plan.arguments.push_back(std::move(argument));
    return plan;
}

std::unique_ptr<BrowserProcess> BrowserProcess::Start(const LaunchPlan& plan, const std::string& firstPage,
                                                      std::unique_ptr<Transport>& transport) {
    UniqueFd toBrowser, browserCommands, fromBrowser, browserEvents;
    if (!SocketPair(toBrowser, browserCommands) || !SocketPair(fromBrowser, browserEvents)) return nullptr;
    const pid_t pid = Spawn(plan, firstPage, browserCommands.Get(), browserEvents.Get());
    if (pid < 0) return nullptr;
    transport = std::make_unique<PipeTransport>(std::move(toBrowser), std::move(fromBrowser));
    return std::unique_ptr<BrowserProcess>(new BrowserProcess(pid));
}

bool BrowserProcess::HasExited() {
    if (!exited_) {
        const pid_t reaped = waitpid(pid_, nullptr, WNOHANG);
        exited_ = reaped == pid_ || (reaped < 0 && errno == ECHILD);
    }
    return exited_;
}

BrowserProcess::~BrowserProcess() {
    const Deadline deadline = After(std::chrono::seconds(3));
    while (!HasExited() && SteadyClock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (HasExited()) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

}  // namespace platform::cdp
