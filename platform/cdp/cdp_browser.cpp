#include "platform/cdp/cdp_browser.h"

#include <QJsonArray>

#include "platform/cdp/documents.h"
#include "platform/cdp/page_scripts.h"

namespace platform::cdp {
namespace {

// A whole scan waits no longer than this for the browser.
constexpr std::chrono::milliseconds kScanTimeout{800};
const QString kWorldName = QStringLiteral("lumatra");

}  // namespace

CdpBrowser::~CdpBrowser() {
    if (connection_) connection_->SetEventHandler({});
}

void CdpBrowser::Adopt(const std::shared_ptr<Connection>& connection) {
    if (connection == connection_) return;
    if (connection_) connection_->SetEventHandler({});
    connection_ = connection;
    sessions_.clear();
    overdueTargets_ = 0;
    connection_->SetEventHandler([this](const QString& sessionId, const QString& method, const QJsonObject& params) {
        OnEvent(sessionId, method, params);
    });
}

std::shared_ptr<PageSession> CdpBrowser::BySessionId(const QString& sessionId) const {
    for (const auto& [targetId, session] : sessions_)
        if (!sessionId.isEmpty() && session->sessionId == sessionId) return session;
    return nullptr;
}

void CdpBrowser::OnEvent(const QString& sessionId, const QString& method, const QJsonObject& params) {
    if (method == "Target.attachedToTarget") {
        // Only the first session of a page is Lumatra's; another client may attach as well.
        const auto found = sessions_.find(params.value("targetInfo").toObject().value("targetId").toString());
        if (found != sessions_.end() && found->second->sessionId.isEmpty())
            found->second->sessionId = params.value("sessionId").toString();
        return;
    }
    if (method == "Target.detachedFromTarget") {
        if (const std::shared_ptr<PageSession> session = BySessionId(params.value("sessionId").toString()))
            sessions_.erase(session->targetId);
        return;
    }
    const std::shared_ptr<PageSession> session = BySessionId(sessionId);
    if (!session) return;
    if (method == "Runtime.executionContextCreated") {
        const QJsonObject context = params.value("context").toObject();
        if (context.value("name").toString() == kWorldName &&
            context.value("auxData").toObject().value("frameId").toString() == session->targetId) {
            session->worldId = context.value("id").toInt();
            session->worldUniqueId = context.value("uniqueId").toString();
        }
    } else if (method == "Runtime.executionContextDestroyed") {
        const bool ours = params.contains("executionContextUniqueId")
                              ? params.value("executionContextUniqueId").toString() == session->worldUniqueId
                              : params.value("executionContextId").toInt() == session->worldId;
        if (ours) session->ForgetWorld();
    } else if (method == "Runtime.executionContextsCleared") {
        session->ForgetWorld();
    }
}

std::unique_ptr<BrowserWindowList> CdpBrowser::OpenWindows() {
    const Deadline deadline = After(kScanTimeout);
    const std::shared_ptr<Connection> connection = link_->Live();
    if (!connection) return nullptr;
    Adopt(connection);
    if (overdueTargets_ != 0 && connection_->IsOverdue(overdueTargets_)) return nullptr;
    const std::optional<Sessions> pages = PageTargets(deadline);
    if (!pages) return nullptr;
    Attach(*pages, deadline);
    CreateWorlds(*pages, deadline);
    return std::make_unique<WindowList>(Read(*pages, deadline));
}

std::optional<CdpBrowser::Sessions> CdpBrowser::PageTargets(Deadline deadline) {
    const int id = connection_->Send("Target.getTargets", {}, {}, deadline);
    const Reply reply = connection_->Await({id}, deadline).at(id);
    overdueTargets_ = reply.status == Reply::Status::NoAnswer ? id : 0;
    if (!reply.Ok()) return std::nullopt;
    Sessions pages;
    std::map<QString, std::shared_ptr<PageSession>> open;
    for (const QJsonValue& value : reply.result.value("targetInfos").toArray()) {
        const QJsonObject target = value.toObject();
        if (target.value("type").toString() != "page") continue;
        const QString targetId = target.value("targetId").toString();
        std::shared_ptr<PageSession>& session = open[targetId];
        const auto known = sessions_.find(targetId);
        session = known != sessions_.end() ? known->second : std::make_shared<PageSession>();
        session->targetId = targetId;
        pages.push_back(session);
    }
    sessions_ = std::move(open);  // pages that have closed are forgotten
    return pages;
}

std::vector<std::optional<Reply>> CdpBrowser::Round(
    const Sessions& pages, const std::function<std::vector<Command>(const PageSession&)>& wanted, bool bySession,
    Deadline deadline) {
    std::vector<int> sent;
    std::vector<int> last(pages.size(), 0);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (pages[i]->IsBusy(*connection_)) continue;
        for (const auto& [method, params] : wanted(*pages[i])) {
            last[i] = connection_->Send(method, params, bySession ? pages[i]->sessionId : QString(), deadline);
            sent.push_back(last[i]);
        }
    }
    const std::map<int, Reply> replies = connection_->Await(sent, deadline);
    std::vector<std::optional<Reply>> answers(pages.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (last[i] == 0) continue;
        answers[i] = replies.at(last[i]);
        if (answers[i]->status == Reply::Status::NoAnswer) pages[i]->overdueCommand = last[i];
    }
    return answers;
}

void CdpBrowser::Attach(const Sessions& pages, Deadline deadline) {
    // The session id comes with the Target.attachedToTarget event, even for a late reply.
    Round(pages, [](const PageSession& page) -> std::vector<Command> {
        if (!page.sessionId.isEmpty()) return {};
        return {{"Target.attachToTarget", {{"targetId", page.targetId}, {"flatten", true}}}};
    }, false, deadline);
}

void CdpBrowser::CreateWorlds(const Sessions& pages, Deadline deadline) {
    // Runtime.enable makes the browser tell of each context it creates, so that the world
    // created here is known by its unique id, which no other context can ever carry.
    Round(pages, [](const PageSession& page) -> std::vector<Command> {
        if (page.sessionId.isEmpty() || !page.worldUniqueId.isEmpty()) return {};
        return {{"Runtime.enable", {}},
                {"Page.createIsolatedWorld", {{"frameId", page.targetId}, {"worldName", kWorldName}}}};
    }, true, deadline);
}

std::vector<std::shared_ptr<const Page>> CdpBrowser::Read(const Sessions& pages, Deadline deadline) {
    static const QString readPage = scripts::ReadPage();
    const std::vector<std::optional<Reply>> replies = Round(pages, [](const PageSession& page) -> std::vector<Command> {
        if (page.worldUniqueId.isEmpty()) return {};
        return {{"Runtime.callFunctionOn", CallParameters(page, readPage, {})}};
    }, true, deadline);
    std::vector<std::shared_ptr<const Page>> read(pages.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (!replies[i]) continue;
        const std::optional<QJsonValue> tree = FunctionValue(*replies[i]);
        if (std::shared_ptr<DocumentSnapshot> root = tree ? ParseDocument(*tree) : nullptr)
            read[i] = std::make_shared<const Page>(Page{connection_, pages[i], std::move(root)});
    }
    return read;
}

}  // namespace platform::cdp
