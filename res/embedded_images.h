#pragma once
// The image files of res/images, built into the program.

#include <cstdint>
#include <span>
#include <string_view>

// The bytes of the file `fileName` (a name in res/images); empty when it is not built in.
std::span<const std::uint8_t> EmbeddedImage(std::string_view fileName);
