#pragma once
// The shapes of the resources that windows are built from: dialog templates, menus, strings and
// images.  The catalogue itself (res/) fills these in; backends read them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

enum class ControlClass { Button, Edit, Static };

struct ControlTemplate {
    int id = -1;
    ControlClass controlClass = ControlClass::Static;
    std::string text;          // UTF-8; empty for image statics
    std::uint32_t style = 0;   // window style bits, as in the template
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    int imageId = 0;           // SS_BITMAP / SS_ICON statics: the image resource shown
};

struct DialogTemplate {
    int id = 0;
    std::string caption;  // UTF-8
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int cx = 0, cy = 0;   // dialog units
    std::string fontName;
    int pointSize = 0;
    int weight = 0;
    std::vector<ControlTemplate> controls;  // in template (tab and drawing) order
};

struct MenuItem {
    std::string text;  // UTF-8; empty for a separator
    unsigned id = 0;   // command; 0 for pop-ups and separators
    bool separator = false;
    std::vector<MenuItem> popup;  // non-empty: this item opens a pop-up
    bool IsPopup() const { return !popup.empty(); }
};

struct MenuTemplate {
    int id = 0;
    std::vector<MenuItem> items;  // the menu bar
};

enum class ImageKind { IconImage, BitmapImage };

struct ImageResource {
    int id = 0;
    ImageKind kind = ImageKind::IconImage;
    std::span<const std::uint8_t> bytes;  // an .ico or .bmp file
};

// Window styles the backends act on.
namespace style {
inline constexpr std::uint32_t Popup = 0x80000000u;
inline constexpr std::uint32_t Visible = 0x10000000u;
inline constexpr std::uint32_t Caption = 0x00C00000u;
inline constexpr std::uint32_t Border = 0x00800000u;
inline constexpr std::uint32_t SysMenu = 0x00080000u;
inline constexpr std::uint32_t Group = 0x00020000u;
inline constexpr std::uint32_t MinimizeBox = 0x00020000u;
inline constexpr std::uint32_t TabStop = 0x00010000u;
inline constexpr std::uint32_t DefPushButton = 0x00000001u;
inline constexpr std::uint32_t EditPassword = 0x00000020u;
inline constexpr std::uint32_t EditAutoHScroll = 0x00000080u;
inline constexpr std::uint32_t StaticIcon = 0x00000003u;
inline constexpr std::uint32_t StaticBitmap = 0x0000000Eu;
inline constexpr std::uint32_t StaticTypeMask = 0x0000001Fu;
inline constexpr std::uint32_t StaticNoPrefix = 0x00000080u;
}  // namespace style

class ResourceCatalogue {
public:
    virtual ~ResourceCatalogue() = default;
    virtual const DialogTemplate* FindDialog(int id) const = 0;
    virtual const MenuTemplate* FindMenu(int id) const = 0;
    // A string of the string table, UTF-8; nullopt when there is none.
    virtual std::optional<std::string> FindString(int id) const = 0;
    virtual std::optional<ImageResource> FindImage(int id) const = 0;
};

}  // namespace platform
