#pragma once
// The program's resource catalogue: the dialog templates, the tray menu, the string table and the
// images that its windows are built from, and the executable's version block.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/resources.h"

// The product's web site, shown in the About box.
inline constexpr char kProductWebAddress[] = "http://www.kelvaro.example";

// Every resource is in Chinese (PRC).
inline constexpr std::uint16_t kResourceLanguage = 0x0804;

// The catalogue, for platform::Backends::resources.
const platform::ResourceCatalogue& ProgramResources();

struct VersionBlock {
    std::array<std::uint16_t, 4> fileVersion;
    std::array<std::uint16_t, 4> productVersion;
    std::uint32_t fileFlagsMask = 0;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOs = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    std::uint64_t fileDate = 0;
    std::string stringTableKey;                                // language and code page, in hex
    std::vector<std::pair<std::string, std::string>> strings;  // name, value (UTF-8), in order
    std::string translationKey;                                // of the VarFileInfo variable (UTF-8)
    std::uint16_t translationLanguage = 0;
    std::uint16_t translationCodePage = 0;
};

const VersionBlock& ProgramVersion();
