#include "automation/login_automation.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "automation/url_host.h"
#include "platform/text.h"

using platform::text::Contains;
using platform::text::Narrow;

namespace {

bool HasApplicationMarker(const std::string& title) {
    return std::ranges::any_of(contract::kApplicationMarkers, [&](std::string_view marker) {
        return Contains(title, Narrow(marker));
    });
}

std::string AsText(const platform::PropertyValue& value) {
    return value.isString ? value.text : std::string(contract::kNonStringText);
}

// The element's name, or nullopt when any of the properties read from an element fails.
std::optional<std::string> ReadElementName(platform::FormElement& element) {
    const std::optional<platform::PropertyValue> name =
        element.ReadProperty(contract::kNameProperty);
    if (!name || !element.ReadProperty(contract::kValueProperty) ||
        !element.ReadProperty(contract::kTypeProperty))
        return std::nullopt;
    return AsText(*name);
}

}  // namespace

CLoginAutomation::CLoginAutomation(const LoginContext& context, LoginWindowControl& window,
                                   platform::Browser& browser)
    : m_context(context), m_window(window), m_browser(browser) {}

void CLoginAutomation::ScanBrowserWindows() {
    const std::unique_ptr<platform::BrowserWindowList> windows = m_browser.OpenWindows();
    // Without the list nothing could be looked at, so the submitted pages are not forgotten.
    if (!windows) return;
    const int count = windows->Count();
    for (int i = 0; i < count; ++i) {
        const std::unique_ptr<platform::Document> document = windows->WindowDocument(i);
        if (document) HandleLoginPage(document.get());
    }
    m_submitted.ForgetUnseen();
}

void CLoginAutomation::HandleLoginPage(platform::Document* document) {
    if (document == nullptr) return;
    ProcessFrames(document);
    const std::optional<std::string> title = document->Title();
    if (!title) return;
    const std::optional<std::string> url = document->Url();
    if (!url) return;

    if (Contains(*title, Narrow(contract::kLoginMarker))) {
        const std::string loadId = document->LoadId();
        if (MayFillLoginForm(*url, loadId) && !FillLoginForms(*document, loadId)) return;
    }
    HandleLogOut(*document, *title);
}

void CLoginAutomation::ProcessFrames(platform::Document* document) {
    if (document == nullptr) return;
    if (!document->Title() || !document->Url()) return;
    const std::unique_ptr<platform::FrameCollection> frames = document->Frames();
    if (!frames) return;
    const std::optional<int> count = frames->Count();
    if (!count) return;
    for (int k = 0; k < *count; ++k) {
        const std::optional<platform::FrameItem> frame = frames->Item(k);
        if (!frame) return;  // a failing frame ends the walk of this document's frames
        if (frame->hasWindow) HandleLoginPage(frame->document.get());
    }
}

// The password goes only to the configured server, only once the user has logged in, and only
// once per load of the login page.
bool CLoginAutomation::MayFillLoginForm(const std::string& url, const std::string& loadId) {
    return !m_context.m_strUser.empty() && SameHost(url, m_context.m_strServer) &&
           !m_submitted.Contains(loadId);
}

bool CLoginAutomation::FillLoginForms(platform::Document& document, const std::string& loadId) {
    const std::unique_ptr<platform::FormCollection> forms = document.Forms();
    if (!forms) return false;
    const std::optional<int> count = forms->Count();
    if (!count) return false;
    // The fields found count for the whole document: once both are found, this form and every
    // later one of the document is submitted.
    FieldsFound found;
    for (int i = 0; i < *count; ++i) {
        const std::unique_ptr<platform::Form> form = forms->Item(i);
        if (!form || !FillForm(*form, found)) continue;
        if (found.user && found.password) {
            if (!form->Submit()) return false;
            m_submitted.Add(loadId);
        }
    }
    return true;
}

bool CLoginAutomation::FillForm(platform::Form& form, FieldsFound& found) {
    const std::optional<int> count = form.ElementCount();
    if (!count) return false;
    for (int j = 0; j < *count; ++j) {
        const std::unique_ptr<platform::FormElement> element = form.Element(j);
        if (element) FillElement(*element, found);
    }
    return true;
}

void CLoginAutomation::FillElement(platform::FormElement& element, FieldsFound& found) {
    const std::optional<std::string> name = ReadElementName(element);
    if (!name) return;
    // A name holding both words is the user name's.  A field counts as found even when the
    // write into it fails.
    if (Contains(*name, Narrow(contract::kUserField))) {
        found.user = true;
        element.WriteValue(m_context.m_strUser);
    } else if (Contains(*name, Narrow(contract::kPasswordField))) {
        found.password = true;
        element.WriteValue(m_context.m_strPassword);
    }
}

void CLoginAutomation::HandleLogOut(platform::Document& document, const std::string& title) {
    if (!HasApplicationMarker(title)) return;
    const bool close = m_context.m_strMode == Narrow(contract::kModeClose);
    const bool reload = m_context.m_strMode == Narrow(contract::kModeReload);
    if (!close && !reload) return;

    const std::string shutdownUrl = m_context.m_strServer + Narrow(contract::kShutdownPagePath);
    // The pop-up notice page is sent to the shutdown page twice.
    if (Contains(title, Narrow(contract::kPopupNotice)) && !document.Navigate(shutdownUrl)) return;
    const bool navigated = document.Navigate(shutdownUrl);
    if (close)
        m_window.ShowWindow(platform::ShowCommand::Hide);
    else if (navigated)
        m_window.ShowWindow(platform::ShowCommand::Show);
}
