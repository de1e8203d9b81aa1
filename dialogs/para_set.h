#pragma once
// The settings dialog: edits the server base URL kept in config.ini.

#include <string>

#include "platform/dialog.h"

class CParaSet : public platform::Dialog {
public:
    explicit CParaSet(platform::Window* pParent = nullptr);

    std::string m_strServer;  // the server base URL, as typed; read by the caller after IDOK

protected:
    void DoDataExchange(platform::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(unsigned id) override;
    void OnBnClickedOk();
};
