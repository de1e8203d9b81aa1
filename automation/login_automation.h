#pragma once
// The browser automation of the login window: it scans the open browser windows and, in every
// document and frame, fills in and submits the login form of the configured server's login page,
// and drives the application's pages to the shutdown page during a log-out.

#include <string>

#include "automation/login_context.h"
#include "automation/submitted_documents.h"
#include "platform/browser.h"

class CLoginAutomation {
public:
    CLoginAutomation(const LoginContext& context, LoginWindowControl& window,
                     platform::Browser& browser);

    // Hands the document of every open browser window to HandleLoginPage, lower index first.
    void ScanBrowserWindows();
    // Handles the frames of `document` first, then its login form, then its log-out marker.
    // `document` is lent for the call and may be null.
    void HandleLoginPage(platform::Document* document);
    // Hands the document of every frame of `document` to HandleLoginPage, in frame order.
    void ProcessFrames(platform::Document* document);

private:
    struct FieldsFound {
        bool user = false;
        bool password = false;
    };

    bool MayFillLoginForm(const std::string& url, const std::string& loadId);
    // Gives false when the handling of the document ends here.
    bool FillLoginForms(platform::Document& document, const std::string& loadId);
    // Gives false when the form's elements cannot be counted.
    bool FillForm(platform::Form& form, FieldsFound& found);
    void FillElement(platform::FormElement& element, FieldsFound& found);
    void HandleLogOut(platform::Document& document, const std::string& title);

    const LoginContext& m_context;
    LoginWindowControl& m_window;
    platform::Browser& m_browser;
    SubmittedDocuments m_submitted;
};
