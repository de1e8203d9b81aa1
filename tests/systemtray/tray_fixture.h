#pragma once
// What the tray icon's tests share: a headless desktop with a main window, the program's resources,
// and a tray whose state can be read.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/testing/fake_desktop.h"
#include "platform/text.h"
#include "res/catalogue.h"
#include "res/resource.h"
#include "systemtray/system_tray.h"

namespace tray_test {

using platform::NotifyAction;
using platform::NotifyIconData;
using platform::testing::FakeDesktop;

// Menus of other shapes than the tray menu's.
inline constexpr int kMenuWithoutSubmenu = 132;
inline constexpr int kEmptyMenu = 133;
inline constexpr const char* kProgramTip = "Kelvaro进销存";

// The program's catalogue, with two menus that have no first submenu.  Counts menu look-ups.
class TrayCatalogue : public platform::ResourceCatalogue {
public:
    TrayCatalogue();
    const platform::DialogTemplate* FindDialog(int id) const override { return ProgramResources().FindDialog(id); }
    const platform::MenuTemplate* FindMenu(int id) const override;
    std::optional<std::string> FindString(int id) const override { return ProgramResources().FindString(id); }
    std::optional<platform::ImageResource> FindImage(int id) const override {
        return ProgramResources().FindImage(id);
    }

    int MenuLookups() const { return m_menuLookups; }

private:
    std::vector<platform::MenuTemplate> m_oddMenus;
    mutable int m_menuLookups = 0;
};

// A window that keeps every message it receives.
class RecordingWindow : public platform::Window {
public:
    struct Received {
        platform::Message message;
        platform::WParam wParam;
        platform::LParam lParam;
        bool operator==(const Received&) const = default;
    };
    platform::LResult WindowProc(platform::Message message, platform::WParam wParam, platform::LParam lParam) override {
        received.push_back({message, wParam, lParam});
        return platform::Window::WindowProc(message, wParam, lParam);
    }
    bool OnCommand(unsigned) override { return true; }
    std::vector<Received> received;
};

// The tray with its state open to the tests.
class TestTray : public CSystemTray {
public:
    using CSystemTray::m_arrIcons;
    using CSystemTray::m_bActive;
    using CSystemTray::m_bIconHidden;
    using CSystemTray::m_hIconBeforeAnim;
    using CSystemTray::m_nAnimTimer;
    using CSystemTray::m_nFrame;
    using CSystemTray::m_nid;
};

// Makes the process's code page `codePage` for the scope's length.
class CodePageScope {
public:
    explicit CodePageScope(platform::text::CodePage codePage) : m_previous(platform::text::ProcessCodePage()) {
        platform::text::SetProcessCodePage(codePage);
    }
    ~CodePageScope() { platform::text::SetProcessCodePage(m_previous); }
    CodePageScope(const CodePageScope&) = delete;
    CodePageScope& operator=(const CodePageScope&) = delete;

private:
    platform::text::CodePage m_previous;
};

class InstalledBackends {
public:
    explicit InstalledBackends(const platform::Backends& backends) : m_previous(platform::Install(backends)) {}
    ~InstalledBackends() { platform::Install(m_previous); }
    InstalledBackends(const InstalledBackends&) = delete;
    InstalledBackends& operator=(const InstalledBackends&) = delete;

private:
    platform::Backends m_previous;
};

inline platform::Icon ResourceIcon(int id) { return FakeDesktop::ResourceIcon(id); }
inline std::string Tip(const NotifyIconData& data) { return std::string(data.szTip); }

class TrayTest : public ::testing::Test {
protected:
    TrayTest() {
        m_main.CreateHiddenWindow();
        m_app.m_pMainWnd = &m_main;
        m_parent.CreateHiddenWindow();
    }

    // Create with the program's arguments, `parent` as the notification target.
    bool CreateTray(CSystemTray& tray, platform::Window* parent, int uID = IDR_TRAYMENU) {
        return tray.Create(parent, WM_TRAY_NOTIFY, platform::text::Narrow(kProgramTip), ResourceIcon(IDI_TRAY1),
                           uID);
    }
    bool CreateTray(CSystemTray& tray) { return CreateTray(tray, &m_parent); }

    // The shell calls made since Mark().
    void Mark() { m_mark = m_desktop.NotifyCalls().size(); }
    std::vector<FakeDesktop::NotifyCall> CallsSinceMark() const {
        const auto& calls = m_desktop.NotifyCalls();
        return {calls.begin() + static_cast<std::ptrdiff_t>(m_mark), calls.end()};
    }

    FakeDesktop m_desktop;
    TrayCatalogue m_catalogue;
    platform::Application m_app{"Lumatra"};
    InstalledBackends m_installed{m_desktop.AsBackends(&m_catalogue)};
    RecordingWindow m_main;    // the application's main window
    RecordingWindow m_parent;  // the window that creates the tray

private:
    std::size_t m_mark = 0;
};

// Every field of two records, the whole tooltip field included.
inline void ExpectSameRecord(const NotifyIconData& actual, const NotifyIconData& expected) {
    EXPECT_EQ(actual.cbSize, expected.cbSize);
    EXPECT_EQ(actual.hWnd, expected.hWnd);
    EXPECT_EQ(actual.uID, expected.uID);
    EXPECT_EQ(actual.uFlags, expected.uFlags);
    EXPECT_EQ(actual.uCallbackMessage, expected.uCallbackMessage);
    EXPECT_EQ(actual.hIcon, expected.hIcon);
    EXPECT_EQ(0, std::memcmp(actual.szTip, expected.szTip, sizeof actual.szTip))
        << "tip \"" << Tip(actual) << "\", expected \"" << Tip(expected) << "\"";
}

}  // namespace tray_test
