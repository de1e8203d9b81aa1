#pragma once
// A dialog with one edit bound to m_strServer, without a window system: the edit is a member,
// and every data exchange is recorded with the direction and the value that crossed.

#include <string>
#include <vector>

#include "platform/dialog.h"

namespace config_test {

struct Exchange {
    bool saving;
    std::string value;
    bool operator==(const Exchange&) const = default;
};

class ServerDialog : public platform::Dialog {
public:
    ServerDialog() : Dialog(0, nullptr) { Attach(kHandle); }
    ~ServerDialog() override { Detach(); }

    void DoDataExchange(platform::DataExchange& dx) override {
        if (dx.IsSaving())
            m_strServer = m_strEdit;
        else
            m_strEdit = m_strServer;
        m_exchanges.push_back({dx.IsSaving(), m_strEdit});
    }

    std::string m_strServer;
    std::string m_strEdit;
    std::vector<Exchange> m_exchanges;

private:
    static constexpr platform::WindowHandle kHandle = 0x5E5;
};

}  // namespace config_test
