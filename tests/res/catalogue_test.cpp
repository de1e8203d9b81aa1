// The catalogue's identifiers, templates, menu, strings and version block, value for value.  The
// texts are the program's own: one wrong character (a full-width space, a full-width colon) is a
// fault the user sees.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "res/catalogue.h"
#include "res/resource.h"

namespace {

using platform::ControlClass;

struct IdCase {
    const char* name;
    long long value;
    long long expected;
};

TEST(ResourceIds, HaveTheirFixedValues) {
    const IdCase ids[] = {
        {"IDD_ABOUTBOX", IDD_ABOUTBOX, 100},       {"IDS_ABOUTBOX", IDS_ABOUTBOX, 101},
        {"IDD_LOGIN_DIALOG", IDD_LOGIN_DIALOG, 102}, {"IDB_CRM_BG", IDB_CRM_BG, 129},
        {"IDD_PARASET", IDD_PARASET, 130},         {"IDR_TRAYMENU", IDR_TRAYMENU, 131},
        {"IDB_LOGIN_BG", IDB_LOGIN_BG, 140},       {"IDI_TRAY1", IDI_TRAY1, 141},
        {"IDI_TRAY2", IDI_TRAY2, 142},             {"IDC_USERNAME", IDC_USERNAME, 1000},
        {"IDC_PASSWORD", IDC_PASSWORD, 1001},      {"IDC_SETTINGS", IDC_SETTINGS, 3},
        {"IDC_SERVER", IDC_SERVER, 1000},          {"IDC_STATIC", IDC_STATIC, -1},
        {"IDM_ABOUTBOX", IDM_ABOUTBOX, 0x0010},    {"ID_TRAY_RELOGIN", ID_TRAY_RELOGIN, 32778},
        {"ID_TRAY_EXIT", ID_TRAY_EXIT, 32779},     {"ID_TRAY_ABOUT", ID_TRAY_ABOUT, 32780},
        {"ID_HELP", ID_HELP, 57670},               {"IDOK", IDOK, 1},
        {"IDCANCEL", IDCANCEL, 2},                 {"WM_TRAY_NOTIFY", WM_TRAY_NOTIFY, 1034},
    };
    for (const IdCase& id : ids) EXPECT_EQ(id.value, id.expected) << id.name;
}

// --- Dialog templates --------------------------------------------------------------------------

struct ExpectedControl {
    int id;
    ControlClass controlClass;
    std::string text;
    std::uint32_t style;
    int x, y, cx, cy;
    int imageId;
};

struct ExpectedDialog {
    int id;
    std::string caption;
    std::uint32_t style;
    std::uint32_t exStyle;
    int cx, cy;
    int pointSize;
    int weight;
    std::vector<ExpectedControl> controls;
};

void ExpectDialog(const ExpectedDialog& expected) {
    const platform::DialogTemplate* dialog = ProgramResources().FindDialog(expected.id);
    ASSERT_NE(dialog, nullptr) << expected.id;
    EXPECT_EQ(dialog->id, expected.id);
    EXPECT_EQ(dialog->caption, expected.caption);
    EXPECT_EQ(dialog->style, expected.style);
    EXPECT_EQ(dialog->exStyle, expected.exStyle);
    EXPECT_EQ(dialog->cx, expected.cx);
    EXPECT_EQ(dialog->cy, expected.cy);
    EXPECT_EQ(dialog->fontName, "MS Shell Dlg");
    EXPECT_EQ(dialog->pointSize, expected.pointSize);
    EXPECT_EQ(dialog->weight, expected.weight);
    ASSERT_EQ(dialog->controls.size(), expected.controls.size());
    for (std::size_t i = 0; i < expected.controls.size(); ++i) {
        const platform::ControlTemplate& control = dialog->controls[i];
        const ExpectedControl& want = expected.controls[i];
        SCOPED_TRACE("dialog " + std::to_string(expected.id) + ", control #" + std::to_string(i + 1));
        EXPECT_EQ(control.id, want.id);
        EXPECT_EQ(control.controlClass, want.controlClass);
        EXPECT_EQ(control.text, want.text);
        EXPECT_EQ(control.style, want.style);
        EXPECT_EQ(control.x, want.x);
        EXPECT_EQ(control.y, want.y);
        EXPECT_EQ(control.cx, want.cx);
        EXPECT_EQ(control.cy, want.cy);
        EXPECT_EQ(control.imageId, want.imageId);
    }
}

TEST(DialogTemplates, AboutBox) {
    ExpectDialog({100, "关于 Kelvaro进销存", 0x80CA00C8, 0x00040000, 235, 59, 9, 0,
                  {
                      {-1, ControlClass::Static, "", 0x50000003, 8, 7, 20, 20, 141},
                      {-1, ControlClass::Static, "Kelvaro进销存 Version 2.50", 0x50020080, 39, 12, 119, 8, 0},
                      {-1, ControlClass::Static, "Copyright (C) 2006 Kelvaro", 0x50020000, 39, 44, 135, 8, 0},
                      {1, ControlClass::Button, "确定", 0x50030001, 188, 35, 38, 13, 0},
                      {-1, ControlClass::Static, "官方网站:http://www.kelvaro.example", 0x50020080, 38, 32, 130,
                       8, 0},
                  }});
}

TEST(DialogTemplates, LoginDialog) {
    ExpectDialog({102, "Kelvaro进销存", 0x90CA00C8, 0x00040000, 223, 141, 9, 0,
                  {
                      {-1, ControlClass::Static, "", 0x5000000E, 0, 0, 223, 141, 140},
                      {1000, ControlClass::Edit, "", 0x50810080, 167, 69, 44, 12, 0},
                      {1001, ControlClass::Edit, "", 0x508100A0, 167, 82, 40, 12, 0},
                      {1, ControlClass::Button, "登\x20录", 0x50010001, 110, 116, 41, 12, 0},
                      {3, ControlClass::Button, "参数设置", 0x50010000, 11, 116, 41, 12, 0},
                      {2, ControlClass::Button, "取\x20消", 0x50010000, 155, 116, 36, 12, 0},
                  }});
}

TEST(DialogTemplates, SettingsDialog) {
    ExpectDialog({130, "参数设置", 0x80C800C8, 0, 325, 18, 8, 400,
                  {
                      {1, ControlClass::Button, "确认设置", 0x50010001, 281, 3, 42, 13, 0},
                      {-1, ControlClass::Static, "服务器域名\x3A", 0x50020000, 4, 4, 44, 8, 0},
                      {1000, ControlClass::Edit, "", 0x50810080, 48, 3, 231, 12, 0},
                  }});
}

TEST(DialogTemplates, OnlyTheThreeExist) {
    for (const int id : {0, 101, 103, 129, 131, 140})
        EXPECT_EQ(ProgramResources().FindDialog(id), nullptr) << id;
}

// --- Menu and strings ----------------------------------------------------------------------------

// One line per item, indented by depth: its text and command, "-" for a separator.
void Flatten(const std::vector<platform::MenuItem>& items, int depth, std::vector<std::string>& lines) {
    for (const platform::MenuItem& item : items) {
        const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
        if (item.separator) {
            EXPECT_TRUE(item.text.empty());
            lines.push_back(indent + "-");
        } else if (item.IsPopup()) {
            EXPECT_EQ(item.id, 0u) << item.text;
            lines.push_back(indent + item.text + " >");
            Flatten(item.popup, depth + 1, lines);
        } else {
            lines.push_back(indent + item.text + " " + std::to_string(item.id));
        }
    }
}

TEST(TrayMenu, HoldsTheHelpSubmenuASeparatorAndTheTwoLogOutCommandsInOrder) {
    const platform::MenuTemplate* menu = ProgramResources().FindMenu(131);
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> lines;
    Flatten(menu->items, 0, lines);

    const std::vector<std::string> expected = {
        "帮助主题 >",
        "  帮助主题 >",
        "    关于 Kelvaro进销存 32780",
        "    Kelvaro进销存 在线帮助 57670",
        "  -",
        "  重新登录 32778",
        "  退出系统 32779",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(ProgramResources().FindMenu(130), nullptr);
}

TEST(StringTable, HoldsOnlyTheAboutItem) {
    EXPECT_EQ(ProgramResources().FindString(101), "关于 Lumatra(&A)...");
    for (const int id : {0, 100, 102, 61440}) EXPECT_EQ(ProgramResources().FindString(id), std::nullopt) << id;
}

// --- Version block -------------------------------------------------------------------------------

TEST(VersionBlock, DescribesLumatraOneZeroZeroOne) {
    const VersionBlock& version = ProgramVersion();
    const std::array<std::uint16_t, 4> oneZeroZeroOne = {1, 0, 0, 1};
    EXPECT_EQ(version.fileVersion, oneZeroZeroOne);
    EXPECT_EQ(version.productVersion, oneZeroZeroOne);
    EXPECT_EQ(version.fileFlagsMask, 0x3Fu);
    EXPECT_EQ(version.fileFlags, 0x1u);
    EXPECT_EQ(version.fileOs, 4u);
    EXPECT_EQ(version.fileType, 1u);
    EXPECT_EQ(version.fileSubtype, 0u);
    EXPECT_EQ(version.fileDate, 0u);
    EXPECT_EQ(version.stringTableKey, "080403a8");
    EXPECT_EQ(version.translationKey, "翻译");
    EXPECT_EQ(version.translationLanguage, 0x0804);
    EXPECT_EQ(version.translationCodePage, 936);

    std::vector<std::string> names;
    for (const auto& [name, value] : version.strings) {
        names.push_back(name);
        EXPECT_FALSE(value.empty()) << name;
    }
    const std::vector<std::string> expectedNames = {
        "CompanyName",    "FileDescription",  "FileVersion", "InternalName",
        "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion",
    };
    ASSERT_EQ(names, expectedNames);
    std::map<std::string, std::string> values(version.strings.begin(), version.strings.end());
    EXPECT_EQ(values["FileVersion"], "1.0.0.1");
    EXPECT_EQ(values["ProductVersion"], "1.0.0.1");
    EXPECT_EQ(values["InternalName"], "Lumatra.exe");
    EXPECT_EQ(values["OriginalFilename"], "Lumatra.exe");
}

}  // namespace
