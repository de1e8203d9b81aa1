#include "platform/cdp/connection.h"

#include <QJsonDocument>

namespace platform::cdp {

Connection::Connection(std::unique_ptr<Transport> transport) : transport_(std::move(transport)) {}

int Connection::Send(const QString& method, const QJsonObject& params, const QString& sessionId,
                     Deadline deadline) {
    QJsonObject command{{"id", ++lastId_}, {"method", method}, {"params", params}};
    if (!sessionId.isEmpty()) command.insert("sessionId", sessionId);
    if (!transport_->Send(QJsonDocument(command).toJson(QJsonDocument::Compact).toStdString(), deadline))
        return 0;
    awaited_.insert(lastId_);
    return lastId_;
}

void Connection::Dispatch(const std::string& message) {
    const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(message)).object();
    if (object.contains("id")) {
        const int id = object.value("id").toInt();
        overdue_.erase(id);
        if (awaited_.count(id))
            replies_[id] = object.contains("error")
                               ? Reply{Reply::Status::Error, {}}
                               : Reply{Reply::Status::Ok, object.value("result").toObject()};
    } else if (eventHandler_) {
        eventHandler_(object.value("sessionId").toString(), object.value("method").toString(),
                      object.value("params").toObject());
    }
}

bool Connection::ReceiveOne(Deadline deadline) {
    std::string message;
    if (transport_->Receive(message, deadline) != ReceiveResult::Message) return false;
    Dispatch(message);
    return true;
}

std::map<int, Reply> Connection::Await(const std::vector<int>& ids, Deadline deadline) {
    const auto allArrived = [&] {
        for (int id : ids)
            if (id != 0 && !replies_.count(id)) return false;
        return true;
    };
    while (!allArrived() && ReceiveOne(deadline)) {
    }
    // Events that came along with the replies are handled now rather than at the next wait.
    while (ReceiveOne(SteadyClock::now())) {
    }
    std::map<int, Reply> answered;
    for (int id : ids) {
        const auto reply = replies_.find(id);
        if (reply != replies_.end()) {
            answered[id] = reply->second;
            replies_.erase(reply);
        } else {
            answered[id] = Reply{};
            if (id != 0 && IsOpen()) overdue_.insert(id);
        }
        awaited_.erase(id);
    }
    return answered;
}

Reply Connection::Call(const QString& method, const QJsonObject& params, const QString& sessionId,
                       Deadline deadline) {
    const int id = Send(method, params, sessionId, deadline);
    return Await({id}, deadline).at(id);
}

bool Connection::IsOverdue(int id) {
    while (ReceiveOne(SteadyClock::now())) {
    }
    return overdue_.count(id) != 0;
}

}  // namespace platform::cdp
