#include "platform/qt/icon_table.h"

#include <QApplication>
#include <QStyle>

#include <optional>

#include "platform/qt/images.h"

namespace platform::qt {
namespace {

// The small icon's size (SM_CXSMICON).
constexpr int kSmallIconSize = 16;

std::optional<QStyle::StandardPixmap> StandardPixmapFor(int standardIconId) {
    switch (standardIconId) {
    case 32512: return QStyle::SP_TitleBarMenuButton;     // IDI_APPLICATION
    case 32513: return QStyle::SP_MessageBoxCritical;     // IDI_HAND
    case 32514: return QStyle::SP_MessageBoxQuestion;     // IDI_QUESTION
    case 32515: return QStyle::SP_MessageBoxWarning;      // IDI_EXCLAMATION
    case 32516: return QStyle::SP_MessageBoxInformation;  // IDI_ASTERISK
    case 32517: return QStyle::SP_DesktopIcon;            // IDI_WINLOGO
    case 32518: return QStyle::SP_VistaShield;            // IDI_SHIELD
    default: return std::nullopt;
    }
}

}  // namespace

IconTable::IconTable(const ResourceCatalogue& resources) : m_resources(resources) {}

template <class Load>
Icon IconTable::Cached(std::map<int, Icon>& cache, int id, Load load) {
    if (const auto found = cache.find(id); found != cache.end()) return found->second;
    const QIcon icon = load(id);
    const Icon handle = icon.isNull() ? 0 : Add(icon);
    cache.emplace(id, handle);
    return handle;
}

Icon IconTable::Add(const QIcon& icon) {
    const Icon handle = m_nextHandle++;
    m_icons.emplace(handle, icon);
    return handle;
}

Icon IconTable::FromResource(int resourceId) {
    return Cached(m_byResource, resourceId, [this](int id) {
        const std::optional<ImageResource> image = m_resources.FindImage(id);
        return image && image->kind == ImageKind::IconImage ? DecodeIcon(image->bytes) : QIcon();
    });
}

Icon IconTable::Standard(int standardIconId) {
    return Cached(m_byStandard, standardIconId, [](int id) {
        const std::optional<QStyle::StandardPixmap> pixmap = StandardPixmapFor(id);
        return pixmap ? QApplication::style()->standardIcon(*pixmap) : QIcon();
    });
}

QIcon IconTable::Find(Icon icon) const {
    const auto found = m_icons.find(icon);
    return found != m_icons.end() ? found->second : QIcon();
}

QIcon IconTable::WindowIcon(Icon bigIcon, Icon smallIcon) const {
    QIcon windowIcon;
    for (const auto& [icon, size] : {std::pair{bigIcon, kIconSize}, std::pair{smallIcon, kSmallIconSize}}) {
        const QIcon source = Find(icon);
        if (!source.isNull()) windowIcon.addPixmap(source.pixmap(size));
    }
    return windowIcon;
}

}  // namespace platform::qt
