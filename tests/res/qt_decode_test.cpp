// A second reader of the images: Qt's own decoders load each at its size, fully opaque.

#include <QImage>
#include <gtest/gtest.h>

#include "res/catalogue.h"
#include "res/resource.h"

namespace {

struct DecodeCase {
    int id;
    const char* format;
    int width;
    int height;
};

TEST(ImagesDecoded, LoadAtTheirSizeWithoutTransparency) {
    for (const DecodeCase& c : {DecodeCase{IDB_LOGIN_BG, "BMP", 389, 246}, DecodeCase{IDB_CRM_BG, "BMP", 386, 238},
                                DecodeCase{IDI_TRAY1, "ICO", 32, 32}, DecodeCase{IDI_TRAY2, "ICO", 32, 32}}) {
        SCOPED_TRACE(c.id);
        const std::optional<platform::ImageResource> resource = ProgramResources().FindImage(c.id);
        ASSERT_TRUE(resource.has_value());
        const QImage image = QImage::fromData(resource->bytes.data(), static_cast<int>(resource->bytes.size()),
                                              c.format)
                                 .convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), c.width);
        EXPECT_EQ(image.height(), c.height);
        int transparent = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) transparent += qAlpha(image.pixel(x, y)) != 255 ? 1 : 0;
        EXPECT_EQ(transparent, 0);
    }
}

}  // namespace
