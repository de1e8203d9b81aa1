#pragma once
// One DevTools connection: numbered commands and their replies, and the events in between.
// Pages are reached through flat sessions on this one connection.

#include <QJsonObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/cdp/transport.h"

namespace platform::cdp {

struct Reply {
    enum class Status { Ok, Error, NoAnswer };
    Status status = Status::NoAnswer;
    QJsonObject result;  // the "result" member of a reply that succeeded

    bool Ok() const { return status == Status::Ok; }
};

class Connection {
public:
    using EventHandler =
        std::function<void(const QString& sessionId, const QString& method, const QJsonObject& params)>;

    explicit Connection(std::unique_ptr<Transport> transport);

    bool IsOpen() const { return transport_->IsOpen(); }
    void Close() { transport_->Close(); }
    // Receives every event from now on; an empty handler stops that.
    void SetEventHandler(EventHandler handler) { eventHandler_ = std::move(handler); }

    // Sends a command and gives its id; 0 when it could not be sent.
    int Send(const QString& method, const QJsonObject& params, const QString& sessionId, Deadline deadline);
    // Waits for the replies to `ids` until all have come or the deadline passes; a command
    // without a reply by then gives NoAnswer and stays overdue until its late reply arrives.
    std::map<int, Reply> Await(const std::vector<int>& ids, Deadline deadline);
    // Send and Await in one.
    Reply Call(const QString& method, const QJsonObject& params, const QString& sessionId, Deadline deadline);
    // Whether command `id` has missed its deadline and its reply has still not come.
    bool IsOverdue(int id);

private:
    void Dispatch(const std::string& message);
    // Handles the messages that have arrived; waits for more until the deadline.
    bool ReceiveOne(Deadline deadline);

    std::unique_ptr<Transport> transport_;
    EventHandler eventHandler_;
    int lastId_ = 0;
    std::set<int> awaited_;         // sent, reply not yet handed out
    std::map<int, Reply> replies_;  // arrived for awaited commands
    std::set<int> overdue_;
};

}  // namespace platform::cdp
