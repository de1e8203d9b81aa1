#pragma once
// The program's icon in the notification area: its image, tooltip and popup menu, and an
// animation that cycles the image through a list of frames.
//
// After Create the object owns a hidden window of its own.  That window carries the animation
// timer and, when no other window is the notification target, receives the shell's callback.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/notification_area.h"
#include "platform/window.h"

class CSystemTray : public platform::Window {
public:
    // The timer every object asks its own window for while an animation runs.
    static constexpr std::uintptr_t ANIMATION_TIMER_ID = 4567;

    CSystemTray() = default;
    // Constructs, then calls Create; Create's result is not kept.
    CSystemTray(platform::Window* pParent, unsigned uCallbackMessage, const std::string& szTip,
                platform::Icon icon, unsigned uID);
    ~CSystemTray() override;

    // Adds the icon; false when the system has no notification area or the shell refuses it.
    // `pParent` receives the callback message; with no parent window the object's own window does.
    bool Create(platform::Window* pParent, unsigned uCallbackMessage, const std::string& szTip,
                platform::Icon icon, unsigned uID);

    // The icon in the notification area ---------------------------------------------------------
    void RemoveIcon();
    void HideIcon();
    void ShowIcon();
    void ReinsertIcon();

    bool SetIcon(platform::Icon hIcon);
    // A resource name of the form "#<number>" names that icon; any other name finds none.
    bool SetIcon(const std::string& resourceName);
    bool SetIcon(unsigned nIDResource);
    // The catalogue declares its IDs as int; this keeps such an ID from reading as a handle.
    bool SetIcon(int nIDResource) { return SetIcon(static_cast<unsigned>(nIDResource)); }
    bool SetStandardIcon(const std::string& iconName);
    bool SetStandardIcon(unsigned nIDResource);
    platform::Icon GetIcon() const;

    // Text longer than the record holds is cut at the last whole character that fits.
    bool SetTooltipText(const std::string& szTip);
    bool SetTooltipText(unsigned nID);
    std::string GetTooltipText() const;

    bool SetNotificationWnd(platform::Window* pNotifyWnd);
    platform::Window* GetNotificationWnd() const;

    bool SetMenuDefaultItem(unsigned uItem, bool bByPos);
    void GetMenuDefaultItem(unsigned& uItem, bool& bByPos) const;

    // The shell's callback: wParam the icon's identifier, the low word of lParam the mouse message.
    virtual platform::LResult OnTrayNotification(platform::WParam wParam, platform::LParam lParam);
    platform::LResult WindowProc(platform::Message message, platform::WParam wParam,
                                 platform::LParam lParam) override;

    // Animation ------------------------------------------------------------------------------------
    // The frames: the catalogue's icons from the first ID to the last, both included.
    bool SetIconList(unsigned uFirstIconID, unsigned uLastIconID);
    // The frames: entries 0 to nLastIndex of `pHIconList`, both included.
    bool SetIconList(const platform::Icon* pHIconList, unsigned nLastIndex);
    // Starts cycling the frames every `nDelayMilliSeconds`; for `nNumSeconds`, or without end
    // when that is 0 or less.
    bool Animate(unsigned nDelayMilliSeconds, int nNumSeconds);
    bool StepAnimation();
    // Ends the animation and puts back the icon shown before it; true when a timer was stopped.
    bool StopAnimation();
    void OnTimer(std::uintptr_t nIDEvent) override;

protected:
    // Appends one frame; the one place where filling the frame list allocates.
    virtual void AppendIcon(platform::Icon hIcon);

    bool m_bActive = false;
    bool m_bIconHidden = false;
    platform::NotifyIconData m_nid;
    std::vector<platform::Icon> m_arrIcons;
    std::uintptr_t m_nAnimTimer = 0;
    int m_nFrame = 0;
    std::int64_t m_timeAnimStart = 0;  // whole seconds of the wall clock; 0 before any animation
    int m_nAnimSeconds = 0;
    platform::Icon m_hIconBeforeAnim = 0;
    unsigned m_uDefaultItem = 0;
    bool m_bDefaultByPos = true;

private:
    bool Notify(platform::NotifyAction action, unsigned flags);
    platform::LResult ShowTrayMenu(platform::Window* target);
    template <class FrameAt>
    bool FillIconList(unsigned lastOffset, FrameAt frameAt);
    void EmptyIconList();
};
