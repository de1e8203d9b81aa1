#pragma once
// The browser's open windows: its targets of type "page", read afresh at every scan.

#include <QJsonObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/browser.h"
#include "platform/cdp/browser_link.h"
#include "platform/cdp/page.h"

namespace platform::cdp {

class CdpBrowser : public Browser {
public:
    explicit CdpBrowser(std::shared_ptr<BrowserLink> link) : link_(std::move(link)) {}
    ~CdpBrowser() override;
    CdpBrowser(const CdpBrowser&) = delete;
    CdpBrowser& operator=(const CdpBrowser&) = delete;

    // Reads every page's whole frame tree, the requests for all pages sent at once.  Null when no
    // browser runs or it does not answer in time.
    std::unique_ptr<BrowserWindowList> OpenWindows() override;

private:
    using Sessions = std::vector<std::shared_ptr<PageSession>>;

    void Adopt(const std::shared_ptr<Connection>& connection);
    void OnEvent(const QString& sessionId, const QString& method, const QJsonObject& params);
    std::shared_ptr<PageSession> BySessionId(const QString& sessionId) const;

    // The steps of a scan; each sends its requests for all pages at once and waits for them.
    std::optional<Sessions> PageTargets(Deadline deadline);
    void Attach(const Sessions& pages, Deadline deadline);
    void CreateWorlds(const Sessions& pages, Deadline deadline);
    std::vector<std::shared_ptr<const Page>> Read(const Sessions& pages, Deadline deadline);

    // Sends the commands that `wanted` gives for each page (busy pages are left out), all at
    // once, and waits; gives the reply to each page's last command, nullopt for pages not asked.
    using Command = std::pair<QString, QJsonObject>;
    std::vector<std::optional<Reply>> Round(const Sessions& pages,
                                            const std::function<std::vector<Command>(const PageSession&)>& wanted,
                                            bool bySession, Deadline deadline);

    std::shared_ptr<BrowserLink> link_;
    std::shared_ptr<Connection> connection_;  // the one the sessions belong to
    std::map<QString, std::shared_ptr<PageSession>> sessions_;  // by target id
    int overdueTargets_ = 0;
};

}  // namespace platform::cdp
