#include "automation/url_host.h"

#include <algorithm>

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsScheme(std::string_view scheme) {
    return !scheme.empty() && IsAsciiLetter(scheme.front()) &&
           std::all_of(scheme.begin(), scheme.end(), [](char c) {
               return IsAsciiLetter(c) || IsDigit(c) || c == '+' || c == '-' || c == '.';
           });
}

bool IsPort(std::string_view port) { return std::all_of(port.begin(), port.end(), IsDigit); }

// Host names compare without case.  Only a host of plain ASCII is folded: in a double-byte code
// page a trail byte may look like a capital letter.
std::string FoldCase(std::string_view host) {
    std::string folded(host);
    const bool ascii = std::all_of(folded.begin(), folded.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) return folded;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

}  // namespace

std::optional<std::string> UrlHost(std::string_view url) {
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos || !IsScheme(url.substr(0, schemeEnd)))
        return std::nullopt;

    std::string_view authority = url.substr(schemeEnd + 3);
    authority = authority.substr(0, authority.find_first_of("/\\?#"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);

    // An IPv6 address is bracketed because it holds colons itself.
    const std::size_t hostEnd =
        authority.starts_with('[') ? authority.find(']') + 1 : authority.find(':');
    if (hostEnd == 0) return std::nullopt;  // "[" without its "]"
    const std::string_view host = authority.substr(0, hostEnd);
    const std::string_view rest = authority.substr(host.size());
    if (host.empty() || host == "[]") return std::nullopt;
    if (!rest.empty() && (rest.front() != ':' || !IsPort(rest.substr(1)))) return std::nullopt;
    return FoldCase(host);
}

bool SameHost(std::string_view url, std::string_view otherUrl) {
    const std::optional<std::string> host = UrlHost(url);
    return host && host == UrlHost(otherUrl);
}
