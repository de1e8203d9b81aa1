#include "app/login_app.h"

#include "login/login_dlg.h"
#include "platform/text.h"

CLoginApp::CLoginApp() : Application(nullptr) {}

bool CLoginApp::InitInstance() {
    Application::InitInstance();
    SetRegistryKey(platform::text::Narrow("应用程序向导生成的本地应用程序"));

    CLoginDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return false;
}
