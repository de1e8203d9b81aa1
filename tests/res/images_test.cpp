// The catalogue's images: each is a well-formed file of its size and depth, and the login
// background carries its labels where the login window's edits need them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "res/catalogue.h"
#include "res/resource.h"

namespace {

using Bytes = std::span<const std::uint8_t>;

std::uint32_t U32(Bytes bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24);
}
std::uint16_t U16(Bytes bytes, std::size_t at) { return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8); }

struct Rgb {
    int r, g, b;
    int Brightness() const { return (r + g + b) / 3; }
    bool IsDark() const { return Brightness() < 80; }
    bool IsStrongBlue() const { return b > r + 60 && b > g + 30; }
    bool IsTeal() const { return g > r + 60 && b > r + 50; }
    bool IsWhite() const { return r > 240 && g > 240 && b > 240; }
};

// An uncompressed 24-bit device-independent bitmap: its header at `at`, its rows bottom-up after it.
struct Dib {
    Bytes bytes;
    std::size_t at;
    int width() const { return static_cast<int>(U32(bytes, at + 4)); }
    int height() const { return static_cast<int>(U32(bytes, at + 8)); }
    std::size_t Stride() const { return (static_cast<std::size_t>(width()) * 3 + 3) / 4 * 4; }

    void ExpectHeader(int expectedWidth, int expectedHeight) const {
        EXPECT_EQ(U32(bytes, at), 40u);           // header size
        EXPECT_EQ(width(), expectedWidth);
        EXPECT_EQ(height(), expectedHeight);      // positive: rows bottom-up
        EXPECT_EQ(U16(bytes, at + 12), 1);        // planes
        EXPECT_EQ(U16(bytes, at + 14), 24);       // bits per pixel
        EXPECT_EQ(U32(bytes, at + 16), 0u);       // uncompressed
        EXPECT_EQ(U32(bytes, at + 32), 0u);       // no colour table
    }

    // The pixel at (x, y), y counted from the top; `rows` is the number of colour rows.
    Rgb At(int x, int y, int rows) const {
        const auto row = static_cast<std::size_t>(rows - 1 - y);
        const std::size_t offset = at + 40 + row * Stride() + static_cast<std::size_t>(x) * 3;
        return {bytes[offset + 2], bytes[offset + 1], bytes[offset]};
    }
};

Bytes ImageBytes(int id, platform::ImageKind kind) {
    const std::optional<platform::ImageResource> image = ProgramResources().FindImage(id);
    if (!image) {
        ADD_FAILURE() << "no image " << id;
        return {};
    }
    EXPECT_EQ(image->id, id);
    EXPECT_EQ(image->kind, kind);
    return image->bytes;
}

struct BitmapCase {
    int id;
    int width;
    int height;
};

TEST(Images, BitmapsAreUncompressed24BitFilesOfTheirSize) {
    for (const BitmapCase& c : {BitmapCase{IDB_LOGIN_BG, 389, 246}, BitmapCase{IDB_CRM_BG, 386, 238}}) {
        SCOPED_TRACE(c.id);
        const Bytes bytes = ImageBytes(c.id, platform::ImageKind::BitmapImage);
        ASSERT_GT(bytes.size(), 54u);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(U32(bytes, 2), bytes.size());  // file size
        EXPECT_EQ(U32(bytes, 10), 54u);          // pixels right after the headers
        const Dib dib{bytes, 14};
        dib.ExpectHeader(c.width, c.height);
        EXPECT_EQ(bytes.size(), 54 + dib.Stride() * static_cast<std::size_t>(c.height));
    }
}

TEST(Images, TrayIconsAreTheSameOpaque32By32By24BitIcon) {
    const Bytes first = ImageBytes(IDI_TRAY1, platform::ImageKind::IconImage);
    const Bytes second = ImageBytes(IDI_TRAY2, platform::ImageKind::IconImage);
    ASSERT_TRUE(std::ranges::equal(first, second));

    constexpr std::size_t kColourBytes = 32 * 32 * 3, kMaskBytes = 32 * 4;
    ASSERT_EQ(first.size(), 6 + 16 + 40 + kColourBytes + kMaskBytes);
    EXPECT_EQ(U16(first, 0), 0);   // reserved
    EXPECT_EQ(U16(first, 2), 1);   // an icon
    EXPECT_EQ(U16(first, 4), 1);   // one image
    EXPECT_EQ(first[6], 32);       // width
    EXPECT_EQ(first[7], 32);       // height
    EXPECT_EQ(U16(first, 12), 24); // bits per pixel
    EXPECT_EQ(U32(first, 14), first.size() - 22);
    EXPECT_EQ(U32(first, 18), 22u);
    const Dib dib{first, 22};
    dib.ExpectHeader(32, 64);  // colour rows and mask rows
    const Bytes mask = first.subspan(22 + 40 + kColourBytes);
    EXPECT_TRUE(std::ranges::all_of(mask, [](std::uint8_t bits) { return bits == 0; })) << "a pixel is transparent";
}

TEST(Images, TrayIconIsAWhiteSwooshOnTealWithALighterRim) {
    const Dib icon{ImageBytes(IDI_TRAY1, platform::ImageKind::IconImage), 22};
    const Rgb rim = icon.At(0, 16, 32);
    const Rgb inside = icon.At(5, 5, 32);
    EXPECT_TRUE(rim.IsTeal());
    EXPECT_TRUE(inside.IsTeal());
    EXPECT_GT(rim.Brightness(), inside.Brightness() + 30);
    EXPECT_TRUE(icon.At(16, 18, 32).IsWhite());
}

// The login window's edits in bitmap pixels: dialog units times 7/4 across and 14/8 down.
struct PixelRect {
    int left, top, right, bottom;
};
constexpr PixelRect kUserNameEdit{292, 121, 369, 142};
constexpr PixelRect kPasswordEdit{292, 143, 362, 165};

int Count(const Dib& dib, PixelRect area, bool (Rgb::*test)() const) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) count += (dib.At(x, y, dib.height()).*test)() ? 1 : 0;
    return count;
}

TEST(Images, LoginBackgroundLabelsStandJustLeftOfTheEditsAndNothingDarkLiesUnderThem) {
    const Dib login{ImageBytes(IDB_LOGIN_BG, platform::ImageKind::BitmapImage), 14};
    for (const PixelRect& edit : {kUserNameEdit, kPasswordEdit}) {
        const PixelRect label{edit.left - 50, edit.top, edit.left, edit.bottom};
        EXPECT_GT(Count(login, label, &Rgb::IsDark), 20) << "no label left of the edit at y " << edit.top;
        EXPECT_EQ(Count(login, edit, &Rgb::IsDark), 0) << "the edit at y " << edit.top << " hides a mark";
    }
    EXPECT_GT(Count(login, {100, 60, 230, 115}, &Rgb::IsStrongBlue), 400) << "no large blue characters";
}

}  // namespace
