#pragma once
// The application object: runs the login window as the program's main window, once.

#include "platform/application.h"

class CLoginApp : public platform::Application {
public:
    CLoginApp();

    // Runs the login window modally; the program ends when it ends.  Always false: there is no
    // message loop of the application's own.
    bool InitInstance() override;
};
