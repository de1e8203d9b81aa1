#include "platform/text.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <mutex>
#include <optional>
#include <string>

namespace platform::text {
namespace {

struct ProcessEncoding {
    CodePage codePage = CodePage::Utf8;
    std::string charset = "UTF-8";  // the iconv name of the narrow side
};

std::string LocaleCharset() {
    // Reads the charset of the user's locale without touching the process's global locale.
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) return {};
    std::string charset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return charset;
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

ProcessEncoding EncodingOf(const std::string& localeCharset) {
    const std::string name = Upper(localeCharset);
    if (name == "GBK" || name == "GB18030" || name == "GB2312" || name == "EUC-CN" || name == "CP936")
        return {CodePage::Gbk, "GB18030"};
    // A plain "C" locale reports ASCII; its text is treated as UTF-8 like the rest of the desktop.
    if (name.empty() || name == "UTF-8" || name == "UTF8" || name == "ANSI_X3.4-1968" ||
        name == "US-ASCII")
        return {CodePage::Utf8, "UTF-8"};
    return {CodePage::SingleByte, localeCharset};
}

std::mutex& EncodingMutex() {
    static std::mutex mutex;
    return mutex;
}

std::optional<ProcessEncoding>& Chosen() {
    static std::optional<ProcessEncoding> chosen;
    return chosen;
}

ProcessEncoding Current() {
    std::lock_guard lock(EncodingMutex());
    if (!Chosen()) Chosen() = EncodingOf(LocaleCharset());
    return *Chosen();
}

std::string CharsetOf(CodePage codePage) {
    switch (codePage) {
    case CodePage::Utf8: return "UTF-8";
    case CodePage::Gbk: return "GB18030";
    case CodePage::SingleByte: {
        const ProcessEncoding current = Current();
        return current.codePage == CodePage::SingleByte ? current.charset : "ISO-8859-1";
    }
    }
    return "UTF-8";
}

// Converts with iconv; any failure gives empty text.
std::string Convert(std::string_view in, const std::string& to, const std::string& from) {
    if (in.empty()) return {};
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(in.size() * 4 + 8, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1) || inLeft != 0) return {};
    out.resize(out.size() - outLeft);
    return out;
}

bool IsUtf8Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the character that starts at `pos`.
std::size_t CharacterLength(std::string_view text, std::size_t pos, CodePage codePage) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (codePage != CodePage::Gbk || byte < 0x81 || byte == 0xFF) return 1;
    if (pos + 1 >= text.size()) return 1;
    const auto second = static_cast<unsigned char>(text[pos + 1]);
    // GB18030 four-byte sequences carry a digit as their second byte.
    if (second >= 0x30 && second <= 0x39 && pos + 3 < text.size()) return 4;
    return 2;
}

}  // namespace

CodePage ProcessCodePage() { return Current().codePage; }

void SetProcessCodePage(CodePage codePage) {
    std::lock_guard lock(EncodingMutex());
    switch (codePage) {
    case CodePage::Utf8: Chosen() = ProcessEncoding{CodePage::Utf8, "UTF-8"}; break;
    case CodePage::Gbk: Chosen() = ProcessEncoding{CodePage::Gbk, "GB18030"}; break;
    case CodePage::SingleByte: Chosen() = ProcessEncoding{CodePage::SingleByte, "ISO-8859-1"}; break;
    }
}

std::string FromUtf8(std::string_view utf8, CodePage codePage) {
    if (codePage == CodePage::Utf8) return std::string(utf8);
    return Convert(utf8, CharsetOf(codePage), "UTF-8");
}

std::string ToUtf8(std::string_view narrow, CodePage codePage) {
    if (codePage == CodePage::Utf8) return std::string(narrow);
    return Convert(narrow, "UTF-8", CharsetOf(codePage));
}

std::string FromUtf8(std::string_view utf8) { return FromUtf8(utf8, ProcessCodePage()); }
std::string ToUtf8(std::string_view narrow) { return ToUtf8(narrow, ProcessCodePage()); }

bool Contains(std::string_view text, std::string_view pattern, CodePage codePage) {
    if (pattern.empty()) return true;
    std::size_t pos = 0;
    while (pos + pattern.size() <= text.size()) {
        const bool boundary =
            codePage != CodePage::Utf8 || !IsUtf8Continuation(static_cast<unsigned char>(text[pos]));
        if (boundary && text.compare(pos, pattern.size(), pattern) == 0) return true;
        pos += codePage == CodePage::Utf8 ? 1 : CharacterLength(text, pos, codePage);
    }
    return false;
}

bool Contains(std::string_view text, std::string_view pattern) {
    return Contains(text, pattern, ProcessCodePage());
}

std::size_t FitWholeCharacters(std::string_view text, std::size_t maxBytes, CodePage codePage) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t fit = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t length = 1;
        if (codePage == CodePage::Utf8) {
            while (pos + length < text.size() &&
                   IsUtf8Continuation(static_cast<unsigned char>(text[pos + length])))
                ++length;
        } else {
            length = CharacterLength(text, pos, codePage);
        }
        if (pos + length > maxBytes) break;
        pos += length;
        fit = pos;
    }
    return fit;
}

}  // namespace platform::text
