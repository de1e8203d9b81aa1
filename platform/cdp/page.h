#pragma once
// An open page as one scan read it, and the calls that act on it afterwards.

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/cdp/connection.h"

namespace platform::cdp {

// What Lumatra knows of a page between scans: its session and its isolated world.
struct PageSession {
    QString targetId;
    QString sessionId;         // empty until attached
    int worldId = 0;           // Lumatra's world in the main frame, while its document lives
    QString worldUniqueId;
    int overdueCommand = 0;    // a command the page left unanswered

    // A page that has not answered an earlier command is not asked again until it does.
    bool IsBusy(Connection& connection) const {
        return overdueCommand != 0 && connection.IsOverdue(overdueCommand);
    }
    void ForgetWorld() {
        worldId = 0;
        worldUniqueId.clear();
    }
};

struct ElementSnapshot {
    // "name", "value" and "type" as read; nullopt for a value that is no string.
    std::map<std::string, std::optional<QString>> properties;
};

struct DocumentSnapshot {
    QString title;
    QString url;
    QString load;
    std::vector<std::vector<ElementSnapshot>> forms;
    std::vector<std::shared_ptr<DocumentSnapshot>> frames;  // null: not reachable
};

// The document tree as the page script gives it; null for a document that is not reachable.
std::shared_ptr<DocumentSnapshot> ParseDocument(const QJsonValue& value);

// The parameters that run `function` with `argument` in the page's world.
QJsonObject CallParameters(const PageSession& session, const QString& function, const QJsonObject& argument);
// The value a page function gave; nullopt when the call failed or the function gave null.
std::optional<QJsonValue> FunctionValue(const Reply& reply);

struct Page {
    std::shared_ptr<Connection> connection;
    std::shared_ptr<PageSession> session;
    std::shared_ptr<DocumentSnapshot> root;

    // Runs a page function with a bounded wait.  A page that leaves the call unanswered is busy.
    std::optional<QJsonValue> Run(const QString& function, const QJsonObject& argument) const;
};

}  // namespace platform::cdp
