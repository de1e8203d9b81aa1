#include "platform/cdp/page.h"

#include <QJsonArray>

namespace platform::cdp {
namespace {

// How long a write, a submit or a navigation may take.
constexpr std::chrono::milliseconds kCallTimeout{300};

std::optional<QString> StringOrNothing(const QJsonValue& value) {
    return value.isString() ? std::optional<QString>(value.toString()) : std::nullopt;
}

}  // namespace

std::shared_ptr<DocumentSnapshot> ParseDocument(const QJsonValue& value) {
    if (!value.isObject()) return nullptr;
    const QJsonObject object = value.toObject();
    auto document = std::make_shared<DocumentSnapshot>();
    document->title = object.value("title").toString();
    document->url = object.value("url").toString();
    document->load = object.value("load").toString();
    for (const QJsonValue& form : object.value("forms").toArray()) {
        std::vector<ElementSnapshot>& elements = document->forms.emplace_back();
        for (const QJsonValue& element : form.toArray()) {
            ElementSnapshot& snapshot = elements.emplace_back();
            for (const char* name : {"name", "value", "type"})
                snapshot.properties[name] = StringOrNothing(element.toObject().value(name));
        }
    }
    for (const QJsonValue& frame : object.value("frames").toArray())
        document->frames.push_back(ParseDocument(frame));
    return document;
}

QJsonObject CallParameters(const PageSession& session, const QString& function, const QJsonObject& argument) {
    return {{"functionDeclaration", function},
            {"arguments", QJsonArray{QJsonObject{{"value", argument}}}},
            {"uniqueContextId", session.worldUniqueId},
            {"returnByValue", true}};
}

std::optional<QJsonValue> FunctionValue(const Reply& reply) {
    if (!reply.Ok() || reply.result.contains("exceptionDetails")) return std::nullopt;
    const QJsonValue value = reply.result.value("result").toObject().value("value");
    if (value.isNull() || value.isUndefined()) return std::nullopt;
    return value;
}

std::optional<QJsonValue> Page::Run(const QString& function, const QJsonObject& argument) const {
    if (session->worldUniqueId.isEmpty() || session->IsBusy(*connection)) return std::nullopt;
    const Deadline deadline = After(kCallTimeout);
    const int id = connection->Send("Runtime.callFunctionOn", CallParameters(*session, function, argument),
                                    session->sessionId, deadline);
    const Reply reply = connection->Await({id}, deadline).at(id);
    if (reply.status == Reply::Status::NoAnswer && id != 0) session->overdueCommand = id;
    return FunctionValue(reply);
}

}  // namespace platform::cdp
