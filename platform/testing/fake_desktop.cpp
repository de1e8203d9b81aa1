#include "platform/testing/fake_desktop.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/application.h"
#include "platform/text.h"

namespace platform::testing {

FakeDesktop::FakeDesktop() = default;
FakeDesktop::~FakeDesktop() = default;

Backends FakeDesktop::AsBackends(const ResourceCatalogue* resources, Browser* browser, FileSystem* files) {
    Backends backends;
    backends.windows = this;
    backends.notificationArea = this;
    backends.shell = this;
    backends.clock = this;
    backends.resources = resources;
    backends.browser = browser;
    backends.files = files;
    return backends;
}

// Scripting ------------------------------------------------------------------------------------------

FakeDesktop& FakeDesktop::Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
}

FakeDesktop& FakeDesktop::Type(int controlId, const std::string& narrowText) {
    return Then([this, controlId, narrowText] { DoType(controlId, narrowText); });
}

FakeDesktop& FakeDesktop::Click(int controlId) {
    return Then([this, controlId] { DoCommand(static_cast<unsigned>(controlId)); });
}

FakeDesktop& FakeDesktop::PressEnter() {
    return Then([this] {
        if (Dialog* dialog = ActiveDialog()) DoCommand(DefaultButton(*StateOf(*dialog)));
    });
}

FakeDesktop& FakeDesktop::PressEscape() { return Click(static_cast<int>(IDCANCEL)); }
FakeDesktop& FakeDesktop::CloseBox() { return Click(static_cast<int>(IDCANCEL)); }

FakeDesktop& FakeDesktop::PressF1() {
    return Then([] {
        if (Window* main = GetMainWindow()) Dispatch(*main, msg::Command, ID_HELP, 0);
    });
}

FakeDesktop& FakeDesktop::ChooseSystemMenu(unsigned id) {
    return Then([this, id] {
        if (Dialog* dialog = ActiveDialog()) Dispatch(*dialog, msg::SysCommand, id, 0);
    });
}

FakeDesktop& FakeDesktop::TickTimer(std::uintptr_t id) {
    return Then([this, id] {
        if (Dialog* dialog = ActiveDialog()) DoTimer(dialog->GetSafeHwnd(), id);
    });
}

FakeDesktop& FakeDesktop::ClickTrayIcon(unsigned uID, Message mouseMessage) {
    return Then([this, uID, mouseMessage] { DoTrayClick(uID, mouseMessage); });
}

void FakeDesktop::RunSteps() {
    while (RunOneStep()) {
    }
}

bool FakeDesktop::RunOneStep() {
    if (m_steps.empty()) return false;
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    step();
    DeliverPosted();
    return true;
}

void FakeDesktop::DeliverPosted() {
    while (!m_posted.empty()) {
        const Posted posted = m_posted.front();
        m_posted.pop_front();
        if (Window* window = FromHandle(posted.window))
            Dispatch(*window, posted.message, posted.wParam, posted.lParam);
    }
}

void FakeDesktop::DoType(int controlId, const std::string& narrowText) {
    if (Dialog* dialog = ActiveDialog()) StateOf(*dialog)->controlTexts[controlId] = narrowText;
}

void FakeDesktop::DoCommand(unsigned id) {
    if (Dialog* dialog = ActiveDialog()) Dispatch(*dialog, msg::Command, id, 0);
}

void FakeDesktop::DoTimer(WindowHandle window, std::uintptr_t id) {
    WindowState* state = State(window);
    if (state == nullptr || state->timers.count(id) == 0) return;
    Dispatch(*state->owner, msg::Timer, id, 0);
}

void FakeDesktop::DoTrayClick(unsigned uID, Message mouseMessage) {
    const auto icon = m_trayIcons.find(uID);
    if (icon == m_trayIcons.end()) return;
    const NotifyIconData record = icon->second;
    if (Window* target = FromHandle(record.hWnd))
        Dispatch(*target, record.uCallbackMessage, record.uID, static_cast<LParam>(mouseMessage));
}

// Inspection ---------------------------------------------------------------------------------------

FakeDesktop::WindowState* FakeDesktop::State(WindowHandle window) {
    const auto found = m_windows.find(window);
    return found == m_windows.end() ? nullptr : &found->second;
}

Dialog* FakeDesktop::ActiveDialog() const {
    if (m_modalStack.empty()) return nullptr;
    return static_cast<Dialog*>(m_windows.at(m_modalStack.back()).owner);
}

std::vector<const FakeDesktop::WindowState*> FakeDesktop::DialogsRun(int templateId) const {
    std::vector<const WindowState*> run;
    for (WindowHandle handle : m_creationOrder) {
        const WindowState& state = m_windows.at(handle);
        if (!state.hidden && state.templateId == templateId) run.push_back(&state);
    }
    return run;
}

const NotifyIconData* FakeDesktop::TrayIcon(unsigned uID) const {
    const auto found = m_trayIcons.find(uID);
    return found == m_trayIcons.end() ? nullptr : &found->second;
}

unsigned FakeDesktop::DefaultButton(const WindowState& state) const {
    if (state.dialogTemplate != nullptr) {
        for (const ControlTemplate& control : state.dialogTemplate->controls) {
            if (control.controlClass == ControlClass::Button && (control.style & style::DefPushButton) != 0)
                return static_cast<unsigned>(control.id);
        }
    }
    return IDOK;
}

// WindowSystem -------------------------------------------------------------------------------------

WindowHandle FakeDesktop::NewHandle(WindowState state) {
    const WindowHandle handle = m_nextHandle++;
    m_windows.emplace(handle, std::move(state));
    m_creationOrder.push_back(handle);
    return handle;
}

WindowHandle FakeDesktop::CreateHiddenWindow(Window& owner) {
    WindowState state;
    state.owner = &owner;
    state.hidden = true;
    state.hasSystemMenu = false;
    return NewHandle(std::move(state));
}

void FakeDesktop::DestroyWindow(WindowHandle window) {
    if (WindowState* state = State(window)) {
        state->owner = nullptr;
        state->visible = false;
        state->timers.clear();
    }
}

bool FakeDesktop::IsWindow(WindowHandle window) {
    const WindowState* state = State(window);
    return state != nullptr && state->owner != nullptr;
}

Window* FakeDesktop::FromHandle(WindowHandle window) {
    const WindowState* state = State(window);
    return state == nullptr ? nullptr : state->owner;
}

int FakeDesktop::RunModal(Dialog& dialog, const DialogTemplate& dialogTemplate, Window*) {
    WindowState initial;
    initial.owner = &dialog;
    initial.templateId = dialogTemplate.id;
    initial.dialogTemplate = &dialogTemplate;
    for (const ControlTemplate& control : dialogTemplate.controls)
        if (control.id > 0) initial.controlTexts[control.id] = text::FromUtf8(control.text);
    const WindowHandle handle = NewHandle(std::move(initial));
    WindowState& state = m_windows.at(handle);

    dialog.Attach(handle);
    m_modalStack.push_back(handle);
    state.visible = true;
    state.init = dialog.HandleInitDialog();
    DeliverPosted();
    while (!state.endResult && RunOneStep()) {
    }
    m_modalStack.pop_back();
    dialog.Detach();
    DestroyWindow(handle);
    // A dialog that is still open when the script runs out was never ended by the user.
    return state.endResult.value_or(kDialogFailed);
}

void FakeDesktop::EndModal(WindowHandle dialog, int result) {
    if (WindowState* state = State(dialog)) {
        state->endResult = result;
        state->visible = false;
    }
}

bool FakeDesktop::SetTimer(WindowHandle window, std::uintptr_t id, unsigned milliseconds) {
    WindowState* state = State(window);
    if (state == nullptr || !m_timersSucceed) return false;
    state->timers[id] = milliseconds;
    return true;
}

bool FakeDesktop::KillTimer(WindowHandle window, std::uintptr_t id) {
    WindowState* state = State(window);
    return state != nullptr && state->timers.erase(id) > 0;
}

void FakeDesktop::Show(WindowHandle window, ShowCommand command) {
    WindowState* state = State(window);
    if (state == nullptr) return;
    state->visible = command != ShowCommand::Hide;
    if (command == ShowCommand::ShowNormal) state->minimized = false;
    if (command == ShowCommand::Minimize) state->minimized = true;
}

bool FakeDesktop::IsVisible(WindowHandle window) {
    const WindowState* state = State(window);
    return state != nullptr && state->visible;
}

bool FakeDesktop::IsMinimized(WindowHandle window) {
    const WindowState* state = State(window);
    return state != nullptr && state->minimized;
}

Rect FakeDesktop::ClientRect(WindowHandle window) {
    const WindowState* state = State(window);
    return state == nullptr ? Rect{} : state->client;
}

bool FakeDesktop::SetForeground(WindowHandle window) {
    m_foreground.push_back(window);
    return IsWindow(window);
}

bool FakeDesktop::Post(WindowHandle window, Message message, WParam wParam, LParam lParam) {
    if (!IsWindow(window)) return false;
    m_posted.push_back({window, message, wParam, lParam});
    return true;
}

std::string FakeDesktop::ControlText(WindowHandle dialog, int controlId) {
    WindowState* state = State(dialog);
    return state == nullptr ? std::string() : state->controlTexts[controlId];
}

void FakeDesktop::SetControlText(WindowHandle dialog, int controlId, const std::string& text) {
    if (WindowState* state = State(dialog)) state->controlTexts[controlId] = text;
}

void FakeDesktop::SetWindowIcon(WindowHandle window, Icon icon, bool bigIcon) {
    if (WindowState* state = State(window)) (bigIcon ? state->bigIcon : state->smallIcon) = icon;
}

bool FakeDesktop::HasSystemMenu(WindowHandle window) {
    const WindowState* state = State(window);
    return state != nullptr && state->hasSystemMenu;
}

void FakeDesktop::AppendSystemMenu(WindowHandle window, unsigned id, const std::string& text) {
    if (WindowState* state = State(window)) state->systemMenu.emplace_back(id, text);
}

void FakeDesktop::EraseIconBackground(WindowHandle) { ++m_erasures; }

void FakeDesktop::DrawIcon(WindowHandle window, int x, int y, Icon icon) {
    m_iconsDrawn.push_back({window, x, y, icon});
}

void FakeDesktop::TrackPopupMenu(const MenuItem& popup, Point at, WindowHandle owner) {
    m_popups.push_back({popup, at, owner});
    const unsigned choice = std::exchange(m_nextPopupChoice, 0u);
    if (choice != 0) Post(owner, msg::Command, choice, 0);
}

int FakeDesktop::MessageBox(const std::string& text, MessageIcon icon) {
    const Application* app = GetApp();
    m_messageBoxes.push_back({text, icon, app != nullptr && !app->Title().empty() ? app->Title() : m_title});
    return static_cast<int>(IDOK);
}

Icon FakeDesktop::LoadIcon(int resourceId) {
    const ResourceCatalogue* resources = Installed().resources;
    if (resources == nullptr) return 0;
    const std::optional<ImageResource> image = resources->FindImage(resourceId);
    return image && image->kind == ImageKind::IconImage ? ResourceIcon(resourceId) : 0;
}

Icon FakeDesktop::LoadStandardIcon(int standardIconId) { return StandardIcon(standardIconId); }

// NotificationArea, Shell ------------------------------------------------------------------------------

bool FakeDesktop::NotifyIcon(NotifyAction action, const NotifyIconData& data) {
    m_notifyCalls.push_back({action, data});
    if (!m_notifySucceeds) return false;
    const auto existing = m_trayIcons.find(data.uID);
    switch (action) {
    case NotifyAction::Add:
        if (!m_trayAvailable || existing != m_trayIcons.end()) return false;
        m_trayIcons.emplace(data.uID, data);
        return true;
    case NotifyAction::Modify: {
        if (existing == m_trayIcons.end()) return false;
        NotifyIconData& shown = existing->second;
        shown.hWnd = data.hWnd;
        if ((data.uFlags & nif::MessageField) != 0) shown.uCallbackMessage = data.uCallbackMessage;
        if ((data.uFlags & nif::IconField) != 0) shown.hIcon = data.hIcon;
        if ((data.uFlags & nif::TipField) != 0) std::memcpy(shown.szTip, data.szTip, sizeof shown.szTip);
        return true;
    }
    case NotifyAction::Delete:
        if (existing == m_trayIcons.end()) return false;
        m_trayIcons.erase(existing);
        return true;
    }
    return false;
}

bool FakeDesktop::Open(const std::string& target) {
    m_opened.push_back(target);
    return true;
}

}  // namespace platform::testing
