#pragma once
// Narrow text at the toolkit's edge: QString holds Unicode, the program holds narrow text.

#include <QString>

#include <string>
#include <string_view>

#include "platform/text.h"

namespace platform::qt {

inline QString FromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline QString ToQString(std::string_view narrow) { return FromUtf8(text::ToUtf8(narrow)); }

inline std::string ToNarrow(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return text::FromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace platform::qt
