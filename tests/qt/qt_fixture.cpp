#include "qt_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTest>

namespace qt_test {
namespace {

using platform::ControlClass;
using platform::DialogTemplate;
using platform::MenuItem;
namespace style = platform::style;

constexpr std::uint32_t kChild = 0x40000000u;
constexpr std::uint32_t kVisibleChild = kChild | style::Visible;
constexpr std::uint32_t kEditStyle = kVisibleChild | style::Border | style::TabStop | style::EditAutoHScroll;
constexpr std::uint32_t kButtonStyle = kVisibleChild | style::TabStop;

std::vector<std::uint8_t> ImageFile(QSize size, const QColor& colour, const char* format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return {bytes.begin(), bytes.end()};
}

// clang-format off
DialogTemplate Login() {
    DialogTemplate login{kLoginDialog, "Kelvaro进销存", 0x90CA00C8u, 0x00040000u, 223, 141, "MS Shell Dlg", 9, 0, {}};
    login.controls = {
        {-1, ControlClass::Static, "", kVisibleChild | style::StaticBitmap, 0, 0, 223, 141, kBackground},
        {kUserName, ControlClass::Edit, "", kEditStyle, 167, 69, 44, 12, 0},
        {kPassword, ControlClass::Edit, "", kEditStyle | style::EditPassword, 167, 82, 40, 12, 0},
        {1, ControlClass::Button, "登 录", kButtonStyle | style::DefPushButton, 110, 116, 41, 12, 0},
        {kSettingsButton, ControlClass::Button, "参数设置", kButtonStyle, 11, 116, 41, 12, 0},
        {2, ControlClass::Button, "取 消", kButtonStyle, 155, 116, 36, 12, 0},
    };
    return login;
}

DialogTemplate Settings() {
    DialogTemplate settings{kSettingsDialog, "参数设置", 0x80C800C8u, 0, 325, 18, "MS Shell Dlg", 8, 400, {}};
    settings.controls = {
        {1, ControlClass::Button, "确认设置", kButtonStyle | style::DefPushButton, 281, 3, 42, 13, 0},
        {-1, ControlClass::Static, "服务器域名:", kVisibleChild | style::Group, 4, 4, 44, 8, 0},
        {kServer, ControlClass::Edit, "", kEditStyle, 48, 3, 231, 12, 0},
    };
    return settings;
}

DialogTemplate About() {
    DialogTemplate about{kAboutDialog, "关于 Kelvaro进销存", 0x80CA00C8u, 0x00040000u, 235, 59, "MS Shell Dlg", 9, 0, {}};
    about.controls = {
        {-1, ControlClass::Static, "", kVisibleChild | style::StaticIcon, 8, 7, 20, 20, kTrayIcon},
        {-1, ControlClass::Static, "Kelvaro进销存 Version 2.50", kVisibleChild | style::StaticNoPrefix,
         39, 12, 119, 8, 0},
        {1, ControlClass::Button, "确定", kButtonStyle | style::Group | style::DefPushButton, 188, 35, 38, 13, 0},
    };
    return about;
}

platform::MenuTemplate TrayMenu() {
    const MenuItem about{"关于 Kelvaro进销存", kAbout, false, {}};
    const MenuItem onlineHelp{"Kelvaro进销存 在线帮助", platform::ID_HELP, false, {}};
    const MenuItem help{"帮助主题", 0, false, {about, onlineHelp}};
    const MenuItem separator{"", 0, true, {}};
    const MenuItem relogin{"重新登录", kRelogin, false, {}};
    const MenuItem exit{"退出系统", kExit, false, {}};
    return {kTrayMenu, {{"帮助主题", 0, false, {help, separator, relogin, exit}}}};
}
// clang-format on

}  // namespace

// TestCatalogue ------------------------------------------------------------------------------------

TestCatalogue::TestCatalogue()
    : m_trayMenu(TrayMenu()),
      m_background(ImageFile(QSize(389, 246), kBackgroundColour, "BMP")),
      m_icon(ImageFile(QSize(32, 32), kIconColour, "ICO")) {
    for (DialogTemplate dialog : {Login(), Settings(), About()})
        m_dialogs.emplace(dialog.id, std::move(dialog));
}

const DialogTemplate* TestCatalogue::FindDialog(int id) const {
    const auto found = m_dialogs.find(id);
    return found != m_dialogs.end() ? &found->second : nullptr;
}

const platform::MenuTemplate* TestCatalogue::FindMenu(int id) const {
    return id == kTrayMenu ? &m_trayMenu : nullptr;
}

std::optional<std::string> TestCatalogue::FindString(int) const { return std::nullopt; }

std::optional<platform::ImageResource> TestCatalogue::FindImage(int id) const {
    if (id == kBackground) return platform::ImageResource{id, platform::ImageKind::BitmapImage, m_background};
    if (id == kTrayIcon) return platform::ImageResource{id, platform::ImageKind::IconImage, m_icon};
    return std::nullopt;
}

// RecordingWindow ----------------------------------------------------------------------------------

LResult RecordingWindow::WindowProc(Message message, WParam wParam, LParam lParam) {
    received.push_back({message, wParam, lParam});
    return Window::WindowProc(message, wParam, lParam);
}

int RecordingWindow::Count(Message message, WParam wParam) const {
    return static_cast<int>(std::count_if(received.begin(), received.end(), [&](const Received& r) {
        return r.message == message && r.wParam == wParam;
    }));
}

// ScriptedDialog -----------------------------------------------------------------------------------

namespace {
constexpr Message kRunScript = platform::msg::User + 100;
}

ScriptedDialog::ScriptedDialog(int templateId, platform::Window* parent, Script script)
    : Dialog(templateId, parent), m_script(std::move(script)) {}

bool ScriptedDialog::OnInitDialog() {
    PostMessage(kRunScript);
    return initialise ? initialise(*this) : Dialog::OnInitDialog();
}

LResult ScriptedDialog::WindowProc(Message message, WParam wParam, LParam lParam) {
    if (message != kRunScript) return Dialog::WindowProc(message, wParam, lParam);
    // A message box shown during the initialisation runs a loop before the window is shown.
    if (!IsWindowVisible()) {
        PostMessage(kRunScript);
        return 0;
    }
    m_script(*this);
    EndDialog(endResult);
    return 0;
}

bool ScriptedDialog::OnCommand(unsigned id) {
    commands.push_back(id);
    return true;
}

void ScriptedDialog::OnSysCommand(unsigned id) { sysCommands.push_back(id); }

platform::qt::DialogWindow& ScriptedDialog::Shown() const {
    const QString caption = QString::fromStdString(platform::Resources().FindDialog(TemplateId())->caption);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = dynamic_cast<platform::qt::DialogWindow*>(window);
        if (dialog != nullptr && dialog->windowTitle() == caption) return *dialog;
    }
    throw std::logic_error("the dialog has no window");
}

// MessageBoxCloser ---------------------------------------------------------------------------------

MessageBoxCloser::MessageBoxCloser() {
    m_timer.setInterval(0);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { CloseShownBoxes(); });
    m_timer.start();
}

void MessageBoxCloser::CloseShownBoxes() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box == nullptr || !box->isVisible()) continue;
        shown.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                         box->parentWidget(), box->windowModality()});
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    }
}

bool WaitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 10000); }

// QtBackendTest ------------------------------------------------------------------------------------

QtBackendTest::QtBackendTest() {
    platform::Backends backends;
    backends.windows = &windows;
    backends.notificationArea = &tray;
    backends.resources = &catalogue;
    m_previous = platform::Install(backends);
}

QtBackendTest::~QtBackendTest() { platform::Install(m_previous); }

}  // namespace qt_test
