// The entry point: the one place that picks the backends.  It wires the Qt desktop, the browser
// over the DevTools protocol and the local files together, then runs the application object.

#include "app/login_app.h"
#include "platform/cdp/cdp.h"
#include "platform/platform.h"
#include "platform/posix/posix_files.h"
#include "platform/qt/desktop.h"
#include "res/catalogue.h"

CLoginApp theApp;

int main(int argc, char** argv) {
    platform::qt::DesktopBackends desktop(argc, argv, ProgramResources());
    platform::Backends backends = desktop.Backends();

    // http(s) addresses open in the browser that Lumatra drives; anything else as the desktop opens it.
    platform::cdp::BrowserBackends browser = platform::cdp::MakeBrowserBackends(*backends.shell);
    backends.browser = browser.browser.get();
    backends.shell = browser.shell.get();

    platform::posix::PosixFiles files;
    backends.files = &files;

    platform::Install(backends);
    theApp.SetTitle(desktop.ApplicationTitle());
    theApp.InitInstance();
    return 0;
}
