#pragma once
// The About box: product name and version, copyright, web site.  It reads and writes nothing.

#include "platform/dialog.h"

class CAboutDlg : public platform::Dialog {
public:
    CAboutDlg();
};
