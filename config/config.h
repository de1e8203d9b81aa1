#pragma once
// config.ini in the current directory: the server base URL on its first line.
//
// The file is a text-mode file of narrow text: written, every LF goes to the file as CR LF;
// read, CR LF comes back as LF and the byte 0x1A ends the data.

#include <string>

namespace platform {
class Dialog;
}

// Takes the place of a URL that the file does not give.
inline constexpr char DEFAULT_SERVER_URL[] = "http://localhost/crm2.5";

// The path of config.ini in the current directory.
std::string GetConfigPath();

// Runs during a dialog's initialisation, with the dialog's data exchange: strServer becomes the
// file's URL, or DEFAULT_SERVER_URL, which is then saved.  An unreadable file counts as none;
// only the save of the default throws (platform::FileError).
void LoadServerUrl(platform::Dialog& dialog, std::string& strServer);

// Writes the URL as it stands, followed by a line end.  Throws platform::FileError, and then
// config.ini keeps what it held.
void SaveServerUrl(const std::string& url);
