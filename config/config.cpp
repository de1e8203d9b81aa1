#include "config/config.h"

#include <string_view>

#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/platform.h"

namespace {

constexpr char kConfigFileName[] = "config.ini";
constexpr char kEndOfText = '\x1A';
// What the URL never holds, wherever it stands in the line.
constexpr char kBlanks[] = {'\r', '\n', '\t', ' '};

// The bytes a text-mode write puts in the file for `text`: every LF goes as CR LF.
std::string TextModeBytes(std::string_view text) {
    std::string bytes;
    for (const char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return bytes;
}

// The first line that a text-mode read gives, without its LF: the data ends at 0x1A, and a
// CR LF pair reads as one LF (any other CR stays).
std::string FirstTextModeLine(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find(kEndOfText));
    const std::size_t lineEnd = bytes.find('\n');
    std::string_view line = bytes.substr(0, lineEnd);
    if (lineEnd != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
    return std::string(line);
}

// The line as a string of the program: it ends at a NUL byte.
std::string ReadFirstLine(const std::string& path) {
    const std::string line = FirstTextModeLine(platform::Files().ReadContents(path));
    return line.substr(0, line.find('\0'));
}

void RemoveBlanks(std::string& text) {
    for (const char blank : kBlanks) std::erase(text, blank);
}

}  // namespace

std::string GetConfigPath() {
    platform::FileSystem& files = platform::Files();
    return files.JoinPath(files.CurrentDirectory(), kConfigFileName);
}

void LoadServerUrl(platform::Dialog& dialog, std::string& strServer) {
    const std::string path = GetConfigPath();
    try {
        const std::string line = ReadFirstLine(path);
        dialog.UpdateData(true);
        strServer = line;
        RemoveBlanks(strServer);
        dialog.UpdateData(false);
    } catch (const platform::FileError&) {
        // No file, or one that cannot be read now: the default below applies.
    }
    if (strServer.empty()) {
        dialog.UpdateData(true);
        strServer = DEFAULT_SERVER_URL;
        dialog.UpdateData(false);
        SaveServerUrl(strServer);
    }
}

void SaveServerUrl(const std::string& url) {
    platform::Files().SaveContents(GetConfigPath(), TextModeBytes(url + "\r\n"));
}
