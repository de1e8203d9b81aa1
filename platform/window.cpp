#include "platform/window.h"

#include <exception>
#include <new>

#include "platform/application.h"
#include "platform/errors.h"
#include "platform/platform.h"

namespace platform {
namespace {
void ForgetIfMain(const Window* window) {
    Application* app = GetApp();
    if (app != nullptr && app->m_pMainWnd == window) app->m_pMainWnd = nullptr;
}
}  // namespace

Window::~Window() { DestroyWindow(); }

LResult Window::WindowProc(Message message, WParam wParam, LParam lParam) {
    (void)lParam;
    switch (message) {
    case msg::Command: {
        const auto id = static_cast<unsigned>(wParam & 0xFFFFu);
        if (!OnCommand(id)) {
            if (Application* app = GetApp()) app->OnCommand(id);
        }
        return 0;
    }
    case msg::Timer: OnTimer(wParam); return 0;
    case msg::SysCommand: OnSysCommand(static_cast<unsigned>(wParam & 0xFFF0u)); return 0;
    case msg::Paint: OnPaint(); return 0;
    default: return 0;
    }
}

bool Window::OnCommand(unsigned) { return false; }
void Window::OnTimer(std::uintptr_t) {}
void Window::OnSysCommand(unsigned) {}
void Window::OnPaint() {}

bool Window::CreateHiddenWindow() {
    if (m_hWnd != 0) return false;
    const WindowHandle handle = Windows().CreateHiddenWindow(*this);
    if (handle == 0) return false;
    m_hWnd = handle;
    return true;
}

bool Window::DestroyWindow() {
    if (m_hWnd == 0) return false;
    const WindowHandle handle = m_hWnd;
    m_hWnd = 0;
    ForgetIfMain(this);
    if (Installed().windows != nullptr) Windows().DestroyWindow(handle);
    return true;
}

Window* Window::FromHandle(WindowHandle handle) {
    return handle == 0 ? nullptr : Windows().FromHandle(handle);
}

bool Window::IsWindow(WindowHandle handle) { return handle != 0 && Windows().IsWindow(handle); }

std::uintptr_t Window::SetTimer(std::uintptr_t id, unsigned milliseconds) {
    if (m_hWnd == 0 || id == 0) return 0;
    return Windows().SetTimer(m_hWnd, id, milliseconds) ? id : 0;
}

bool Window::KillTimer(std::uintptr_t id) { return m_hWnd != 0 && Windows().KillTimer(m_hWnd, id); }

void Window::ShowWindow(ShowCommand command) {
    if (m_hWnd != 0) Windows().Show(m_hWnd, command);
}

bool Window::IsWindowVisible() const { return m_hWnd != 0 && Windows().IsVisible(m_hWnd); }
bool Window::IsIconic() const { return m_hWnd != 0 && Windows().IsMinimized(m_hWnd); }
Rect Window::GetClientRect() const { return m_hWnd != 0 ? Windows().ClientRect(m_hWnd) : Rect{}; }
bool Window::SetForegroundWindow() { return m_hWnd != 0 && Windows().SetForeground(m_hWnd); }

bool Window::PostMessage(Message message, WParam wParam, LParam lParam) {
    return m_hWnd != 0 && Windows().Post(m_hWnd, message, wParam, lParam);
}

LResult Window::SendMessage(Message message, WParam wParam, LParam lParam) {
    return Dispatch(*this, message, wParam, lParam);
}

void Window::EraseIconBackground() {
    if (m_hWnd != 0) Windows().EraseIconBackground(m_hWnd);
}

void Window::DrawIcon(int x, int y, Icon icon) {
    if (m_hWnd != 0) Windows().DrawIcon(m_hWnd, x, y, icon);
}

int GetSystemMetrics(SystemMetric metric) {
    return metric == SystemMetric::IconWidth ? Windows().IconWidth() : Windows().IconHeight();
}

void Window::Attach(WindowHandle handle) { m_hWnd = handle; }
void Window::Detach() {
    ForgetIfMain(this);
    m_hWnd = 0;
}

LResult Dispatch(Window& window, Message message, WParam wParam, LParam lParam) {
    LResult result = 0;
    RunReported([&] { result = window.WindowProc(message, wParam, lParam); });
    return result;
}

void ReportEscapedException() {
    try {
        throw;
    } catch (const ReportableError& error) {
        ShowMessage(error.UserMessage(), MessageIcon::Stop);
    } catch (const std::bad_alloc&) {
        ShowMessage(kOutOfMemoryText, MessageIcon::Stop);
    } catch (const std::exception& error) {
        ShowMessage(error.what(), MessageIcon::Stop);
    } catch (...) {
        ShowMessage("An unsupported operation was attempted.", MessageIcon::Stop);
    }
}

Window* GetMainWindow() {
    Application* app = GetApp();
    return app != nullptr ? app->m_pMainWnd : nullptr;
}

}  // namespace platform
