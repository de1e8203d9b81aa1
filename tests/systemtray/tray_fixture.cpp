#include "tray_fixture.h"

namespace tray_test {

TrayCatalogue::TrayCatalogue() {
    const platform::MenuItem exit{"退出系统", ID_TRAY_EXIT, false, {}};
    m_oddMenus = {{kMenuWithoutSubmenu, {exit}}, {kEmptyMenu, {}}};
}

const platform::MenuTemplate* TrayCatalogue::FindMenu(int id) const {
    ++m_menuLookups;
    for (const platform::MenuTemplate& menu : m_oddMenus)
        if (menu.id == id) return &menu;
    return ProgramResources().FindMenu(id);
}

}  // namespace tray_test
