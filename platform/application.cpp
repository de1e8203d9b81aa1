#include "platform/application.h"

#include "platform/platform.h"

namespace platform {
namespace {
Application* g_app = nullptr;
}

Application::Application(const char* appName) {
    if (appName != nullptr) m_strTitle = appName;
    g_app = this;
}

Application::~Application() {
    if (g_app == this) g_app = nullptr;
}

bool Application::InitInstance() { return true; }

bool Application::OnCommand(unsigned id) {
    if (id == ID_HELP) {
        OnHelp();
        return true;
    }
    return false;
}

void Application::OnHelp() {}

void Application::SetRegistryKey(const std::string& key) { m_strRegistryKey = key; }

Icon Application::LoadIcon(int resourceId) const { return Windows().LoadIcon(resourceId); }

Application* GetApp() { return g_app; }

}  // namespace platform
