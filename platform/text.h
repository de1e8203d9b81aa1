#pragma once
// Narrow text: std::string holding bytes in the process's ANSI code page.
//
// Everything the program handles (typed names, the server URL, page titles, config.ini) is narrow
// text.  Browser and toolkit text arrives as UTF-8 or UTF-16 and is converted once, at the
// backend's edge, with the functions below.  The system's own texts are written in the sources
// as UTF-8 and go through Narrow() before they are compared with narrow text.

#include <string>
#include <string_view>

namespace platform::text {

// The multibyte encodings that decide where a character starts.
enum class CodePage {
    Utf8,        // a character never starts on a continuation byte (0x80-0xBF)
    Gbk,         // GBK / GB18030: a lead byte 0x81-0xFE carries its trail byte(s) with it
    SingleByte,  // every byte is a character
};

// The process's code page, chosen once (from the locale's charset) at the first call.
CodePage ProcessCodePage();

// Replaces the process's code page; for tests that run GBK text on a UTF-8 machine.
void SetProcessCodePage(CodePage codePage);

// Converts between narrow text in the process's code page and UTF-8.  A sequence that cannot be
// converted gives empty text, as the original conversion did.
std::string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::string_view narrow);

// The same conversions for an explicit code page.
std::string FromUtf8(std::string_view utf8, CodePage codePage);
std::string ToUtf8(std::string_view narrow, CodePage codePage);

// A system text (a UTF-8 literal in our sources) as narrow text.
inline std::string Narrow(std::string_view utf8Literal) { return FromUtf8(utf8Literal); }

// Case-sensitive substring test whose match may only begin at a character boundary of the code
// page: in GBK a match never begins on a trail byte, in UTF-8 never on a continuation byte.
bool Contains(std::string_view text, std::string_view pattern, CodePage codePage);
bool Contains(std::string_view text, std::string_view pattern);

// Length in bytes of the longest prefix of `text` that is at most `maxBytes` long and ends on a
// character boundary.
std::size_t FitWholeCharacters(std::string_view text, std::size_t maxBytes, CodePage codePage);

}  // namespace platform::text
