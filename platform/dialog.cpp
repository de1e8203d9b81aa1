#include "platform/dialog.h"

#include "platform/platform.h"

namespace platform {

void DataExchange::Text(int controlId, std::string& value) {
    if (m_bSaveAndValidate)
        value = m_dialog.GetDlgItemText(controlId);
    else
        m_dialog.SetDlgItemText(controlId, value);
}

Dialog::Dialog(int templateId, Window* parent) : m_templateId(templateId), m_pParent(parent) {}

int Dialog::DoModal() {
    const DialogTemplate* dialogTemplate = Resources().FindDialog(m_templateId);
    if (dialogTemplate == nullptr) return kDialogFailed;
    // A dialog without a parent belongs to the main window, like every window of the program.
    Window* owner = m_pParent != nullptr ? m_pParent : GetMainWindow();
    return Windows().RunModal(*this, *dialogTemplate, owner == this ? nullptr : owner);
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(static_cast<int>(IDOK));
}

void Dialog::OnCancel() { EndDialog(static_cast<int>(IDCANCEL)); }

bool Dialog::OnCommand(unsigned id) {
    switch (id) {
    case IDOK: OnOK(); return true;
    case IDCANCEL: OnCancel(); return true;
    default: return false;
    }
}

bool Dialog::UpdateData(bool saveAndValidate) {
    if (GetSafeHwnd() == 0) return false;
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return true;
}

void Dialog::EndDialog(int result) {
    if (GetSafeHwnd() != 0) Windows().EndModal(GetSafeHwnd(), result);
}

std::string Dialog::GetDlgItemText(int controlId) const {
    return GetSafeHwnd() != 0 ? Windows().ControlText(GetSafeHwnd(), controlId) : std::string();
}

void Dialog::SetDlgItemText(int controlId, const std::string& text) {
    if (GetSafeHwnd() != 0) Windows().SetControlText(GetSafeHwnd(), controlId, text);
}

void Dialog::SetIcon(Icon icon, bool bigIcon) {
    if (GetSafeHwnd() != 0) Windows().SetWindowIcon(GetSafeHwnd(), icon, bigIcon);
}

bool Dialog::HasSystemMenu() const { return GetSafeHwnd() != 0 && Windows().HasSystemMenu(GetSafeHwnd()); }

void Dialog::AppendSystemMenu(unsigned id, const std::string& text) {
    if (GetSafeHwnd() != 0) Windows().AppendSystemMenu(GetSafeHwnd(), id, text);
}

Dialog::InitResult Dialog::HandleInitDialog() {
    InitResult result;
    const bool completed = RunReported([&] { result.focusFirstControl = OnInitDialog(); });
    // An initialisation cut short by an error leaves the window where its template puts it.
    result.centre = completed;
    return result;
}

}  // namespace platform
