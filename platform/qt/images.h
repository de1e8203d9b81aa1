#pragma once
// The catalogue's image files (.ico, .bmp) as the toolkit's images.

#include <QIcon>
#include <QPixmap>

#include <cstdint>
#include <span>

#include "platform/resources.h"

namespace platform::qt {

// The size of a window's big icon and of an icon static (SM_CXICON, SM_CYICON).
inline constexpr int kIconSize = 32;

QIcon DecodeIcon(std::span<const std::uint8_t> icoFile);
QPixmap DecodeBitmap(std::span<const std::uint8_t> bmpFile);

// Image `imageId` of the catalogue at its own size (an icon at kIconSize); null when missing.
QPixmap ImagePixmap(const ResourceCatalogue& resources, int imageId);

}  // namespace platform::qt
