#include "res/catalogue.h"

#include <algorithm>
#include <map>

#include "res/embedded_images.h"
#include "res/resource.h"

namespace {

using platform::ControlClass;
using platform::ControlTemplate;
using platform::DialogTemplate;
using platform::ImageKind;
using platform::MenuItem;
using platform::MenuTemplate;
namespace style = platform::style;

// Style bits that only the templates carry; the backends act on those of platform::style.
constexpr std::uint32_t kChild = 0x40000000u;
constexpr std::uint32_t kModalFrame = 0x00000080u;
constexpr std::uint32_t kSetFont = 0x00000040u;
constexpr std::uint32_t kFixedSys = 0x00000008u;
constexpr std::uint32_t kExAppWindow = 0x00040000u;

constexpr std::uint32_t kDialogFrame =
    style::Popup | style::Caption | style::SysMenu | kModalFrame | kSetFont | kFixedSys;
constexpr std::uint32_t kShownChild = kChild | style::Visible;
constexpr std::uint32_t kLabel = kShownChild | style::Group;
constexpr std::uint32_t kButton = kShownChild | style::TabStop;
constexpr std::uint32_t kEdit = kShownChild | style::Border | style::TabStop | style::EditAutoHScroll;

constexpr char kDialogFont[] = "MS Shell Dlg";

DialogTemplate AboutBox() {
    return {IDD_ABOUTBOX, "关于 Kelvaro进销存", kDialogFrame | style::MinimizeBox, kExAppWindow, 235, 59,
            kDialogFont, 9, 0,
            {
                {IDC_STATIC, ControlClass::Static, "", kShownChild | style::StaticIcon, 8, 7, 20, 20, IDI_TRAY1},
                {IDC_STATIC, ControlClass::Static, "Kelvaro进销存 Version 2.50", kLabel | style::StaticNoPrefix,
                 39, 12, 119, 8},
                {IDC_STATIC, ControlClass::Static, "Copyright (C) 2006 Kelvaro", kLabel, 39, 44, 135, 8},
                {static_cast<int>(IDOK), ControlClass::Button, "确定", kButton | style::Group | style::DefPushButton,
                 188, 35, 38, 13},
                {IDC_STATIC, ControlClass::Static, std::string("官方网站:") + kProductWebAddress,
                 kLabel | style::StaticNoPrefix, 38, 32, 130, 8},
            }};
}

// The labels of the two edits are painted in the background bitmap.
DialogTemplate LoginDialog() {
    return {IDD_LOGIN_DIALOG, "Kelvaro进销存", kDialogFrame | style::MinimizeBox | style::Visible, kExAppWindow,
            223, 141, kDialogFont, 9, 0,
            {
                {IDC_STATIC, ControlClass::Static, "", kShownChild | style::StaticBitmap, 0, 0, 223, 141,
                 IDB_LOGIN_BG},
                {IDC_USERNAME, ControlClass::Edit, "", kEdit, 167, 69, 44, 12},
                {IDC_PASSWORD, ControlClass::Edit, "", kEdit | style::EditPassword, 167, 82, 40, 12},
                {static_cast<int>(IDOK), ControlClass::Button, "登 录", kButton | style::DefPushButton, 110, 116,
                 41, 12},
                {IDC_SETTINGS, ControlClass::Button, "参数设置", kButton, 11, 116, 41, 12},
                {static_cast<int>(IDCANCEL), ControlClass::Button, "取 消", kButton, 155, 116, 36, 12},
            }};
}

// A single strip with no cancel button: the close box and Esc end it.
DialogTemplate ParaSet() {
    constexpr int kNormalWeight = 400;
    return {IDD_PARASET, "参数设置", kDialogFrame, 0, 325, 18, kDialogFont, 8, kNormalWeight,
            {
                {static_cast<int>(IDOK), ControlClass::Button, "确认设置", kButton | style::DefPushButton, 281, 3,
                 42, 13},
                {IDC_STATIC, ControlClass::Static, "服务器域名:", kLabel, 4, 4, 44, 8},
                {IDC_SERVER, ControlClass::Edit, "", kEdit, 48, 3, 231, 12},
            }};
}

MenuItem Command(std::string text, unsigned id) { return {std::move(text), id, false, {}}; }
MenuItem Separator() { return {"", 0, true, {}}; }
MenuItem Popup(std::string text, std::vector<MenuItem> items) { return {std::move(text), 0, false, std::move(items)}; }

// The tray icon shows the bar's one pop-up.
MenuTemplate TrayMenu() {
    return {IDR_TRAYMENU,
            {Popup("帮助主题", {
                                   Popup("帮助主题", {Command("关于 Kelvaro进销存", ID_TRAY_ABOUT),
                                                      Command("Kelvaro进销存 在线帮助", ID_HELP)}),
                                   Separator(),
                                   Command("重新登录", ID_TRAY_RELOGIN),
                                   Command("退出系统", ID_TRAY_EXIT),
                               })}};
}

struct ImageFile {
    int id;
    ImageKind kind;
    const char* fileName;
};

constexpr ImageFile kImageFiles[] = {
    {IDB_CRM_BG, ImageKind::BitmapImage, "crm_bg.bmp"},
    {IDB_LOGIN_BG, ImageKind::BitmapImage, "login_bg.bmp"},
    {IDI_TRAY1, ImageKind::IconImage, "IDI_TRAY1.ico"},
    {IDI_TRAY2, ImageKind::IconImage, "IDI_TRAY2.ico"},
};

template <class Resource>
const Resource* FindById(const std::vector<Resource>& resources, int id) {
    const auto found = std::ranges::find(resources, id, &Resource::id);
    return found != resources.end() ? &*found : nullptr;
}

class Catalogue final : public platform::ResourceCatalogue {
public:
    const DialogTemplate* FindDialog(int id) const override { return FindById(m_dialogs, id); }
    const MenuTemplate* FindMenu(int id) const override { return FindById(m_menus, id); }

    std::optional<std::string> FindString(int id) const override {
        const auto found = m_strings.find(id);
        if (found == m_strings.end()) return std::nullopt;
        return found->second;
    }

    std::optional<platform::ImageResource> FindImage(int id) const override {
        const auto found = std::ranges::find(kImageFiles, id, &ImageFile::id);
        if (found == std::end(kImageFiles)) return std::nullopt;
        return platform::ImageResource{id, found->kind, EmbeddedImage(found->fileName)};
    }

private:
    std::vector<DialogTemplate> m_dialogs = {AboutBox(), LoginDialog(), ParaSet()};
    std::vector<MenuTemplate> m_menus = {TrayMenu()};
    std::map<int, std::string> m_strings = {{IDS_ABOUTBOX, "关于 Lumatra(&A)..."}};
};

VersionBlock MakeVersionBlock() {
    constexpr std::uint16_t kCodePage = 936;
    return {
        .fileVersion = {1, 0, 0, 1},
        .productVersion = {1, 0, 0, 1},
        .fileFlagsMask = 0x3F,
        .fileFlags = 0x1,  // debug
        .fileOs = 4,       // 32-bit Windows
        .fileType = 1,     // application
        .fileSubtype = 0,
        .fileDate = 0,
        .stringTableKey = "080403a8",
        .strings =
            {
                {"CompanyName", "<公司名>"},
                {"FileDescription", "<文件说明>"},
                {"FileVersion", "1.0.0.1"},
                {"InternalName", "Lumatra.exe"},
                {"LegalCopyright", "<版权所有>"},
                {"OriginalFilename", "Lumatra.exe"},
                {"ProductName", "<产品名>"},
                {"ProductVersion", "1.0.0.1"},
            },
        .translationKey = "翻译",
        .translationLanguage = kResourceLanguage,
        .translationCodePage = kCodePage,
    };
}

}  // namespace

const platform::ResourceCatalogue& ProgramResources() {
    static const Catalogue catalogue;
    return catalogue;
}

const VersionBlock& ProgramVersion() {
    static const VersionBlock version = MakeVersionBlock();
    return version;
}
