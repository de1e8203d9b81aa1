#include "systemtray/system_tray.h"

#include <charconv>
#include <cstring>
#include <new>
#include <iterator>
#include <optional>
#include <string_view>

#include "platform/application.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace {

using platform::Icon;
using platform::NotifyAction;

constexpr int kOldestVersionWithTray = 4;
constexpr unsigned kAllFields = platform::nif::MessageField | platform::nif::IconField | platform::nif::TipField;

// Numeric resource names are 16 bits wide; higher bits of an ID are not part of the name.
int ResourceName(unsigned id) { return static_cast<int>(id & 0xFFFFu); }

// The numeric resource name that "#<number>" spells; other names are no numeric name.
std::optional<unsigned> NumericResourceName(std::string_view name) {
    if (name.size() < 2 || name.front() != '#') return std::nullopt;
    unsigned id = 0;
    const char* const last = name.data() + name.size();
    const auto [end, error] = std::from_chars(name.data() + 1, last, id);
    if (error != std::errc() || end != last || id > 0xFFFFu) return std::nullopt;
    return id;
}

Icon LoadResourceIcon(unsigned id) {
    const platform::Application* app = platform::GetApp();
    return app != nullptr ? app->LoadIcon(ResourceName(id)) : 0;
}

Icon LoadResourceIcon(std::string_view name) {
    const std::optional<unsigned> id = NumericResourceName(name);
    return id ? LoadResourceIcon(*id) : 0;
}

Icon LoadStandardIcon(unsigned id) { return platform::Windows().LoadStandardIcon(ResourceName(id)); }

Icon LoadStandardIcon(std::string_view name) {
    const std::optional<unsigned> id = NumericResourceName(name);
    return id ? LoadStandardIcon(*id) : 0;
}

platform::WindowHandle HandleOf(const platform::Window* window) {
    return window != nullptr ? window->GetSafeHwnd() : 0;
}

// Stores as much of `text` as fits before the terminating NUL, ending on a whole character, and
// clears the rest of the field.
void CopyTip(char (&tip)[platform::kTipSize], std::string_view text) {
    const std::size_t length =
        platform::text::FitWholeCharacters(text, sizeof tip - 1, platform::text::ProcessCodePage());
    std::memset(tip, 0, sizeof tip);
    std::memcpy(tip, text.data(), length);
}

// The popup of the menu resource `menuId`: its first submenu, or null when there is none.
const platform::MenuItem* FirstSubmenu(unsigned menuId) {
    const platform::MenuTemplate* menu = platform::Resources().FindMenu(ResourceName(menuId));
    if (menu == nullptr || menu->items.empty() || !menu->items.front().IsPopup()) return nullptr;
    return &menu->items.front();
}

}  // namespace

CSystemTray::CSystemTray(platform::Window* pParent, unsigned uCallbackMessage, const std::string& szTip,
                         Icon icon, unsigned uID) {
    Create(pParent, uCallbackMessage, szTip, icon, uID);
}

CSystemTray::~CSystemTray() {
    RemoveIcon();
    // Destroying the window ends a running animation's timer; the saved icon is not put back.
    DestroyWindow();
}

bool CSystemTray::Create(platform::Window* pParent, unsigned uCallbackMessage, const std::string& szTip,
                         Icon icon, unsigned uID) {
    if (platform::Windows().OsMajorVersion() < kOldestVersionWithTray) {
        m_bActive = false;
        return false;
    }
    // Without its own window the object still works with a parent as the target, so a failure
    // here is not one of Create's.
    CreateHiddenWindow();

    m_nid.cbSize = platform::kNotifyIconDataSize;
    m_nid.hWnd = HandleOf(pParent);
    if (m_nid.hWnd == 0) m_nid.hWnd = GetSafeHwnd();
    m_nid.uID = uID;
    m_nid.hIcon = icon;
    m_nid.uFlags = kAllFields;
    m_nid.uCallbackMessage = uCallbackMessage;
    CopyTip(m_nid.szTip, szTip);

    m_bActive = platform::Tray().NotifyIcon(NotifyAction::Add, m_nid);
    return m_bActive;
}

bool CSystemTray::Notify(NotifyAction action, unsigned flags) {
    m_nid.uFlags = flags;
    return platform::Tray().NotifyIcon(action, m_nid);
}

// The icon in the notification area ---------------------------------------------------------------

void CSystemTray::RemoveIcon() {
    if (!m_bActive) return;
    Notify(NotifyAction::Delete, 0);
    m_bActive = false;
}

void CSystemTray::HideIcon() {
    if (!m_bActive || m_bIconHidden) return;
    Notify(NotifyAction::Delete, platform::nif::IconField);
    m_bIconHidden = true;
}

void CSystemTray::ShowIcon() {
    if (!m_bActive || !m_bIconHidden) return;
    Notify(NotifyAction::Add, kAllFields);
    m_bIconHidden = false;
}

void CSystemTray::ReinsertIcon() {
    HideIcon();
    ShowIcon();
}

bool CSystemTray::SetIcon(Icon hIcon) {
    if (!m_bActive) return false;
    m_nid.hIcon = hIcon;
    return Notify(NotifyAction::Modify, platform::nif::IconField);
}

bool CSystemTray::SetIcon(const std::string& resourceName) { return SetIcon(LoadResourceIcon(resourceName)); }
bool CSystemTray::SetIcon(unsigned nIDResource) { return SetIcon(LoadResourceIcon(nIDResource)); }
bool CSystemTray::SetStandardIcon(const std::string& iconName) { return SetIcon(LoadStandardIcon(iconName)); }
bool CSystemTray::SetStandardIcon(unsigned nIDResource) { return SetIcon(LoadStandardIcon(nIDResource)); }

Icon CSystemTray::GetIcon() const { return m_bActive ? m_nid.hIcon : 0; }

bool CSystemTray::SetTooltipText(const std::string& szTip) {
    if (!m_bActive) return false;
    CopyTip(m_nid.szTip, szTip);
    return Notify(NotifyAction::Modify, platform::nif::TipField);
}

bool CSystemTray::SetTooltipText(unsigned nID) {
    const std::optional<std::string> text = platform::Resources().FindString(ResourceName(nID));
    return SetTooltipText(text ? platform::text::FromUtf8(*text) : std::string());
}

std::string CSystemTray::GetTooltipText() const { return m_bActive ? std::string(m_nid.szTip) : std::string(); }

bool CSystemTray::SetNotificationWnd(platform::Window* pNotifyWnd) {
    if (!m_bActive) return false;
    m_nid.hWnd = HandleOf(pNotifyWnd);
    return Notify(NotifyAction::Modify, 0);
}

platform::Window* CSystemTray::GetNotificationWnd() const { return platform::Window::FromHandle(m_nid.hWnd); }

bool CSystemTray::SetMenuDefaultItem(unsigned uItem, bool bByPos) {
    if (uItem == m_uDefaultItem && bByPos == m_bDefaultByPos) return true;
    m_uDefaultItem = uItem;
    m_bDefaultByPos = bByPos;
    // The item would be marked on a menu loaded for this call alone, which nobody sees; what
    // remains to tell the caller is whether that menu exists.
    return FirstSubmenu(m_nid.uID) != nullptr;
}

void CSystemTray::GetMenuDefaultItem(unsigned& uItem, bool& bByPos) const {
    uItem = m_uDefaultItem;
    bByPos = m_bDefaultByPos;
}

// The shell's callback ---------------------------------------------------------------------------

platform::LResult CSystemTray::OnTrayNotification(platform::WParam wParam, platform::LParam lParam) {
    if (wParam != platform::WParam{m_nid.uID}) return 0;
    platform::Window* target = platform::GetMainWindow();
    switch (platform::LowWord(lParam)) {
    case platform::msg::RightButtonUp: return ShowTrayMenu(target);
    case platform::msg::LeftButtonUp:
        if (m_nAnimTimer != 0) StopAnimation();
        return 1;
    default: return 1;
    }
}

// Shows the menu for `target`, which receives the chosen command; 0 when there is no menu to show
// or no window to send its command to.
platform::LResult CSystemTray::ShowTrayMenu(platform::Window* target) {
    const platform::MenuItem* popup = FirstSubmenu(m_nid.uID);
    if (popup == nullptr || target == nullptr) return 0;
    const platform::Point cursor = platform::Windows().CursorPos();
    target->SetForegroundWindow();
    platform::Windows().TrackPopupMenu(*popup, cursor, target->GetSafeHwnd());
    // Lets the menu close properly when the user clicks elsewhere without choosing.
    target->PostMessage(platform::msg::Null, 0, 0);
    return 1;
}

platform::LResult CSystemTray::WindowProc(platform::Message message, platform::WParam wParam,
                                          platform::LParam lParam) {
    if (message == m_nid.uCallbackMessage) return OnTrayNotification(wParam, lParam);
    return platform::Window::WindowProc(message, wParam, lParam);
}

// Animation ----------------------------------------------------------------------------------------

void CSystemTray::AppendIcon(Icon hIcon) { m_arrIcons.push_back(hIcon); }

void CSystemTray::EmptyIconList() { std::vector<Icon>().swap(m_arrIcons); }

// Replaces the frames with frameAt(0) .. frameAt(lastOffset).  When memory runs out the user is
// told, and the list is left empty.
template <class FrameAt>
bool CSystemTray::FillIconList(unsigned lastOffset, FrameAt frameAt) {
    try {
        EmptyIconList();
        for (unsigned offset = 0;; ++offset) {
            AppendIcon(frameAt(offset));
            if (offset == lastOffset) break;
        }
        return true;
    } catch (const std::bad_alloc&) {
        platform::ShowMessage(platform::kOutOfMemoryText);
        EmptyIconList();
        return false;
    }
}

bool CSystemTray::SetIconList(unsigned uFirstIconID, unsigned uLastIconID) {
    if (uFirstIconID > uLastIconID) return false;
    return FillIconList(uLastIconID - uFirstIconID,
                        [uFirstIconID](unsigned offset) { return LoadResourceIcon(uFirstIconID + offset); });
}

bool CSystemTray::SetIconList(const Icon* pHIconList, unsigned nLastIndex) {
    return FillIconList(nLastIndex, [pHIconList](unsigned offset) { return pHIconList[offset]; });
}

bool CSystemTray::Animate(unsigned nDelayMilliSeconds, int nNumSeconds) {
    StopAnimation();
    m_nFrame = 0;
    m_timeAnimStart = platform::WallClock().LocalSeconds();
    m_nAnimSeconds = nNumSeconds;
    m_hIconBeforeAnim = GetIcon();
    m_nAnimTimer = SetTimer(ANIMATION_TIMER_ID, nDelayMilliSeconds);
    return m_nAnimTimer != 0;
}

bool CSystemTray::StepAnimation() {
    if (m_arrIcons.empty()) return false;
    if (++m_nFrame >= std::ssize(m_arrIcons)) m_nFrame = 0;
    return SetIcon(m_arrIcons[static_cast<std::size_t>(m_nFrame)]);
}

bool CSystemTray::StopAnimation() {
    bool stopped = false;
    if (m_nAnimTimer != 0) stopped = KillTimer(m_nAnimTimer);
    m_nAnimTimer = 0;
    if (m_hIconBeforeAnim != 0) SetIcon(m_hIconBeforeAnim);
    m_hIconBeforeAnim = 0;
    return stopped;
}

// Every timer of the object's window is the animation's.
void CSystemTray::OnTimer(std::uintptr_t) {
    const std::int64_t elapsed = platform::WallClock().LocalSeconds() - m_timeAnimStart;
    if (m_nAnimSeconds > 0 && elapsed > m_nAnimSeconds)
        StopAnimation();
    else
        StepAnimation();
}
