#include "login/login_dlg.h"

#include <utility>

#include "automation/page_contract.h"
#include "config/config.h"
#include "dialogs/about_dlg.h"
#include "dialogs/para_set.h"
#include "platform/application.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "res/catalogue.h"
#include "res/resource.h"

namespace {

constexpr std::uintptr_t kScanTimer = 1;
constexpr unsigned kScanPeriodMs = 500;

std::string TrayTooltip() { return platform::text::Narrow("Kelvaro进销存"); }

std::string OnlineHelpUrl() { return std::string(kProductWebAddress) + "/kvdn/jxc"; }

// Marks a scan as under way for as long as it runs, whichever way it ends.
class ScanInProgress {
public:
    explicit ScanInProgress(bool& scanning) : m_scanning(scanning) { m_scanning = true; }
    ~ScanInProgress() { m_scanning = false; }
    ScanInProgress(const ScanInProgress&) = delete;
    ScanInProgress& operator=(const ScanInProgress&) = delete;

private:
    bool& m_scanning;
};

}  // namespace

CLoginDlg::CLoginDlg(platform::Window* pParent)
    : Dialog(IDD_LOGIN_DIALOG, pParent),
      m_hIcon(0),
      m_automation(*this, *this, platform::Browsers()) {
    m_hIcon = platform::GetApp()->LoadIcon(IDI_TRAY1);
}

CLoginDlg::~CLoginDlg() = default;

// Browser operations ------------------------------------------------------------------------------

void CLoginDlg::ScanBrowserWindows() { m_automation.ScanBrowserWindows(); }
void CLoginDlg::HandleLoginPage(platform::Document* document) { m_automation.HandleLoginPage(document); }
void CLoginDlg::ProcessFrames(platform::Document* document) { m_automation.ProcessFrames(document); }

void CLoginDlg::ShowWindow(platform::ShowCommand command) { Dialog::ShowWindow(command); }

// Messages ---------------------------------------------------------------------------------------------

platform::LResult CLoginDlg::WindowProc(platform::Message message, platform::WParam wParam,
                                        platform::LParam lParam) {
    switch (message) {
    case WM_TRAY_NOTIFY: return OnTrayNotification(wParam, lParam);
    case platform::msg::QueryDragIcon: return static_cast<platform::LResult>(OnQueryDragIcon());
    default: return Dialog::WindowProc(message, wParam, lParam);
    }
}

bool CLoginDlg::OnCommand(unsigned id) {
    switch (id) {
    case IDC_SETTINGS: OnSettings(); return true;
    case IDOK: OnLogin(); return true;
    case ID_TRAY_RELOGIN: OnTrayRelogin(); return true;
    case ID_TRAY_EXIT: OnTrayExit(); return true;
    case ID_HELP: OnOnlineHelp(); return true;
    case ID_TRAY_ABOUT: OnTrayAbout(); return true;
    default: return Dialog::OnCommand(id);
    }
}

void CLoginDlg::DoDataExchange(platform::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    dx.Text(IDC_USERNAME, m_strUser);
    dx.Text(IDC_PASSWORD, m_strPassword);
}

bool CLoginDlg::OnInitDialog() {
    Dialog::OnInitDialog();

    m_hIcon = platform::GetApp()->LoadIcon(IDI_TRAY1);
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    // Without a notification area the window still works: it logs in from the window, and
    // minimises instead of hiding so that the user can get it back.
    m_bTrayIconShown = CreateTrayIcon();

    if (HasSystemMenu()) {
        const std::string strAboutMenu =
            platform::text::Narrow(platform::Resources().FindString(IDS_ABOUTBOX).value_or(""));
        if (!strAboutMenu.empty()) {
            AppendSystemMenu(0, "");
            AppendSystemMenu(IDM_ABOUTBOX, strAboutMenu);
        }
    }

    // A default URL that cannot be saved is reported, and the window goes on with it: logins
    // must not stop working because the folder is read-only.
    platform::RunReported([this] { LoadServerUrl(*this, m_strServer); });

    SetTimer(kScanTimer, kScanPeriodMs);
    return true;
}

bool CLoginDlg::CreateTrayIcon() {
    if (!m_TrayIcon.Create(this, WM_TRAY_NOTIFY, TrayTooltip(), m_hIcon, IDR_TRAYMENU)) return false;
    m_TrayIcon.SetIconList(IDI_TRAY1, IDI_TRAY2);
    m_TrayIcon.SetIcon(IDI_TRAY1);
    return true;
}

void CLoginDlg::OnPaint() {
    if (!IsIconic()) {
        Dialog::OnPaint();
        return;
    }
    EraseIconBackground();
    const int cxIcon = platform::GetSystemMetrics(platform::SystemMetric::IconWidth);
    const int cyIcon = platform::GetSystemMetrics(platform::SystemMetric::IconHeight);
    const platform::Rect rect = GetClientRect();
    const int x = (rect.Width() - cxIcon + 1) / 2;
    const int y = (rect.Height() - cyIcon + 1) / 2;
    DrawIcon(x, y, m_hIcon);
}

platform::Icon CLoginDlg::OnQueryDragIcon() const { return m_hIcon; }

void CLoginDlg::OnLogin() {
    UpdateData(true);
    if (m_strUser.empty()) {
        platform::ShowMessage(platform::text::Narrow("用户名不能为空!"));
        return;
    }
    platform::DesktopShell().Open(m_strServer + platform::text::Narrow(contract::kLoginPagePath));
    UpdateData(false);
    ShowWindow(m_bTrayIconShown ? platform::ShowCommand::Hide : platform::ShowCommand::Minimize);
}

void CLoginDlg::OnTimer(std::uintptr_t nIDEvent) {
    // A tick that arrives while a scan waits on the browser is dropped: the next one comes soon.
    if (!m_bScanning) {
        {
            ScanInProgress scan(m_bScanning);
            ScanBrowserWindows();
        }
        RunPendingLogOuts();
    }
    Dialog::OnTimer(nIDEvent);
}

void CLoginDlg::OnSysCommand(unsigned nID) {
    if ((nID & 0xFFF0u) == IDM_ABOUTBOX) {
        OnTrayAbout();
        return;
    }
    Dialog::OnSysCommand(nID);
}

// Tray commands ----------------------------------------------------------------------------------------

platform::LResult CLoginDlg::OnTrayNotification(platform::WParam wParam, platform::LParam lParam) {
    return m_TrayIcon.OnTrayNotification(wParam, lParam);
}

void CLoginDlg::OnTrayRelogin() {
    ShowWindow(platform::ShowCommand::Show);
    RunLogOut(platform::text::Narrow(contract::kModeReload), [] {});
}

void CLoginDlg::OnTrayExit() {
    ShowWindow(platform::ShowCommand::Hide);
    RunLogOut(platform::text::Narrow(contract::kModeClose), [this] { OnOK(); });
}

void CLoginDlg::RunLogOut(const std::string& mode, std::function<void()> finish) {
    m_pendingLogOuts.push_back({mode, std::move(finish)});
    if (!m_bScanning) RunPendingLogOuts();
}

void CLoginDlg::RunPendingLogOuts() {
    while (!m_pendingLogOuts.empty()) {
        const LogOutRequest request = std::move(m_pendingLogOuts.front());
        m_pendingLogOuts.pop_front();
        m_strMode = request.mode;
        try {
            ScanInProgress scan(m_bScanning);
            ScanBrowserWindows();
        } catch (...) {
            // The command still finishes: the mode must not leak into the timer's scans, and
            // 退出系统 must still end the program.
            m_strMode.clear();
            request.finish();
            throw;
        }
        m_strMode.clear();
        request.finish();
    }
}

void CLoginDlg::OnOnlineHelp() { platform::DesktopShell().Open(OnlineHelpUrl()); }

void CLoginDlg::OnSettings() {
    CParaSet dlg;
    if (dlg.DoModal() == static_cast<int>(IDOK)) m_strServer = dlg.m_strServer;
}

void CLoginDlg::OnTrayAbout() {
    CAboutDlg dlg;
    dlg.DoModal();
}
