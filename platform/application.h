#pragma once
// The application object: one per program, run once by the entry point.

#include <string>

#include "platform/window.h"

namespace platform {

class Application {
public:
    // An empty name lets the title be the executable's file name without its extension.
    explicit Application(const char* appName = nullptr);
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Called once by the entry point; the program's whole active life runs inside it.  A false
    // result means no message loop of the application's own is run and the program ends.
    virtual bool InitInstance();
    // A command that no window handled.
    virtual bool OnCommand(unsigned id);
    // The framework's answer to ID_HELP reaching the application: there is no help file.
    void OnHelp();

    // Names the per-user settings key; nothing is stored under it.
    void SetRegistryKey(const std::string& key);
    const std::string& RegistryKey() const { return m_strRegistryKey; }
    // The application's title: the executable's file name without its extension.
    const std::string& Title() const { return m_strTitle; }
    void SetTitle(const std::string& title) { m_strTitle = title; }

    Icon LoadIcon(int resourceId) const;

    Window* m_pMainWnd = nullptr;

private:
    std::string m_strRegistryKey;
    std::string m_strTitle;
};

// The one application object, or null before it is constructed.
Application* GetApp();

}  // namespace platform
