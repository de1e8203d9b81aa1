#include "dialogs/para_set.h"

#include "config/config.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "res/resource.h"

CParaSet::CParaSet(platform::Window* pParent) : Dialog(IDD_PARASET, pParent) {}

void CParaSet::DoDataExchange(platform::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    dx.Text(IDC_SERVER, m_strServer);
}

bool CParaSet::OnInitDialog() {
    Dialog::OnInitDialog();
    LoadServerUrl(*this, m_strServer);
    return true;
}

bool CParaSet::OnCommand(unsigned id) {
    if (id == IDOK) {
        OnBnClickedOk();
        return true;
    }
    return Dialog::OnCommand(id);
}

void CParaSet::OnBnClickedOk() {
    UpdateData(true);
    if (m_strServer.empty()) {
        platform::ShowMessage(platform::text::Narrow("参数不能为空!"));
        return;
    }
    // A failed save leaves this handler with the file error, which is reported; the dialog stays.
    SaveServerUrl(m_strServer);
    UpdateData(false);
    Dialog::OnOK();
}
