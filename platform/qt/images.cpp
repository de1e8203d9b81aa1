#include "platform/qt/images.h"

#include <QByteArray>
#include <QImage>

namespace platform::qt {
namespace {

QImage Decode(std::span<const std::uint8_t> file, const char* format) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                                     static_cast<qsizetype>(file.size()));
    return QImage::fromData(bytes, format);
}

}  // namespace

QIcon DecodeIcon(std::span<const std::uint8_t> icoFile) {
    const QImage image = Decode(icoFile, "ICO");
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

QPixmap DecodeBitmap(std::span<const std::uint8_t> bmpFile) {
    return QPixmap::fromImage(Decode(bmpFile, "BMP"));
}

QPixmap ImagePixmap(const ResourceCatalogue& resources, int imageId) {
    const std::optional<ImageResource> image = resources.FindImage(imageId);
    if (!image) return {};
    if (image->kind == ImageKind::IconImage) return DecodeIcon(image->bytes).pixmap(kIconSize);
    return DecodeBitmap(image->bytes);
}

}  // namespace platform::qt
