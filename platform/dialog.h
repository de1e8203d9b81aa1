#pragma once
// Modal dialogs built from the resource catalogue's templates.

#include <string>

#include "platform/window.h"

namespace platform {

class Dialog;

// Moves edit texts into members (saving) or members into edits.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate) : m_dialog(dialog), m_bSaveAndValidate(saveAndValidate) {}
    bool IsSaving() const { return m_bSaveAndValidate; }
    // The whole text of edit `controlId`, as typed, to or from `value` (narrow text).
    void Text(int controlId, std::string& value);

private:
    Dialog& m_dialog;
    bool m_bSaveAndValidate;
};

// Result of DoModal when the dialog cannot be created.
inline constexpr int kDialogFailed = -1;

class Dialog : public Window {
public:
    Dialog(int templateId, Window* parent);

    int TemplateId() const { return m_templateId; }
    Window* Parent() const { return m_pParent; }

    // Creates the dialog from its template, runs it until EndDialog, and gives the result.
    virtual int DoModal();

    // Handlers ---------------------------------------------------------------------------------
    // Called once the controls exist: puts the members into the controls.  A true result asks
    // for the focus on the first control that takes it.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    // IDOK: moves the controls into the members, then ends the dialog with IDOK.
    virtual void OnOK();
    // IDCANCEL (the cancel button, Esc, the close box): ends the dialog with IDCANCEL.
    virtual void OnCancel();
    bool OnCommand(unsigned id) override;

    // Operations ----------------------------------------------------------------------------------
    // Runs DoDataExchange in one direction; true when the exchange succeeded.
    bool UpdateData(bool saveAndValidate = true);
    void EndDialog(int result);
    std::string GetDlgItemText(int controlId) const;
    void SetDlgItemText(int controlId, const std::string& text);
    void SetIcon(Icon icon, bool bigIcon);
    // The window's system menu: whether it has one, and appending to it (an empty text appends a
    // separator).
    bool HasSystemMenu() const;
    void AppendSystemMenu(unsigned id, const std::string& text);

    // Backend side: the template's WM_INITDIALOG, with the report of an escaping exception.
    // Gives whether the first control should take the focus and whether the dialog should be
    // centred (it is not when the initialisation ended with an exception).
    struct InitResult {
        bool focusFirstControl = true;
        bool centre = true;
    };
    InitResult HandleInitDialog();

private:
    int m_templateId;
    Window* m_pParent;
};

}  // namespace platform
