#pragma once
// The host part of a URL, for telling whether a page belongs to the configured server.

#include <optional>
#include <string>
#include <string_view>

// The host of "scheme://[user[:password]@]host[:port][/...]" in lower case; an IPv6 host keeps
// its brackets.  nullopt when the URL has no scheme, no host, or a port that is not a number.
std::optional<std::string> UrlHost(std::string_view url);

// True when both URLs have a host and it is the same one, whatever the scheme, port or path.
bool SameHost(std::string_view url, std::string_view otherUrl);
