#pragma once
// The icons handed out as handles: the catalogue's icons and the system's predefined ones.  A
// handle stays valid for the table's lifetime; the same ID always gives the same handle.

#include <QIcon>

#include <map>

#include "platform/resources.h"
#include "platform/window.h"

namespace platform::qt {

class IconTable {
public:
    explicit IconTable(const ResourceCatalogue& resources);

    // 0 when the catalogue has no icon `resourceId`.
    Icon FromResource(int resourceId);
    // One of the system's predefined icons by its Windows ID (IDI_APPLICATION, IDI_HAND, ...);
    // 0 for an ID that names none or that the style cannot draw.
    Icon Standard(int standardIconId);

    // The icon behind a handle; a null icon for 0 or an unknown handle.
    QIcon Find(Icon icon) const;
    // A window's icon: the big icon at the big size and the small one at the small size.
    QIcon WindowIcon(Icon bigIcon, Icon smallIcon) const;

private:
    template <class Load>
    Icon Cached(std::map<int, Icon>& cache, int id, Load load);
    Icon Add(const QIcon& icon);

    const ResourceCatalogue& m_resources;
    std::map<Icon, QIcon> m_icons;
    std::map<int, Icon> m_byResource;
    std::map<int, Icon> m_byStandard;
    Icon m_nextHandle = 1;
};

}  // namespace platform::qt
