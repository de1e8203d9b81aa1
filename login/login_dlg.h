#pragma once
// The login window: the program's main window.  It holds the login data that the browser
// automation reads, opens the login page on 登 录, scans the browser twice a second, and owns the
// tray icon whose menu logs out.

#include <deque>
#include <functional>
#include <string>

#include "automation/login_automation.h"
#include "automation/login_context.h"
#include "platform/dialog.h"
#include "systemtray/system_tray.h"

class CLoginDlg : public platform::Dialog, public LoginContext, private LoginWindowControl {
public:
    explicit CLoginDlg(platform::Window* pParent = nullptr);
    ~CLoginDlg() override;

    // The browser operations; they use only the LoginContext and the window's show/hide.
    void ScanBrowserWindows();
    void HandleLoginPage(platform::Document* document);
    void ProcessFrames(platform::Document* document);

    // Shows or hides the window (also the page handler's show/hide).
    void ShowWindow(platform::ShowCommand command) override;

    platform::LResult WindowProc(platform::Message message, platform::WParam wParam,
                                 platform::LParam lParam) override;

protected:
    void DoDataExchange(platform::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(unsigned id) override;

    void OnPaint() override;
    platform::Icon OnQueryDragIcon() const;
    void OnLogin();
    void OnTimer(std::uintptr_t nIDEvent) override;
    void OnSysCommand(unsigned nID) override;

    void OnSettings();
    platform::LResult OnTrayNotification(platform::WParam wParam, platform::LParam lParam);
    void OnTrayRelogin();
    void OnTrayExit();
    void OnOnlineHelp();
    void OnTrayAbout();

private:
    struct LogOutRequest {
        std::string mode;
        std::function<void()> finish;
    };

    bool CreateTrayIcon();
    // Runs one log-out scan in `mode`, then `finish`; while a scan is under way the request waits
    // for it and runs as soon as it ends.
    void RunLogOut(const std::string& mode, std::function<void()> finish);
    void RunPendingLogOuts();

    platform::Icon m_hIcon;
    CSystemTray m_TrayIcon;
    CLoginAutomation m_automation;
    bool m_bTrayIconShown = false;
    bool m_bScanning = false;
    std::deque<LogOutRequest> m_pendingLogOuts;
};
