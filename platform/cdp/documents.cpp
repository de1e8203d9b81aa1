#include "platform/cdp/documents.h"

#include <QJsonArray>
#include <string>

#include "platform/cdp/page_scripts.h"
#include "platform/text.h"

namespace platform::cdp {
namespace {

std::string Narrow(const QString& text) { return text::FromUtf8(text.toStdString()); }
QString Wide(const std::string& narrow) { return QString::fromStdString(text::ToUtf8(narrow)); }

template <typename T>
bool InRange(int index, const std::vector<T>& items) {
    return index >= 0 && static_cast<std::size_t>(index) < items.size();
}

// One document of a page: where it is in the frame tree, and what the scan read of it.
struct DocumentRef {
    std::shared_ptr<const Page> page;
    std::shared_ptr<DocumentSnapshot> snapshot;
    std::vector<int> path;  // frame indices from the main frame

    // Runs a page function on this document, provided it is still the load the scan read.
    std::optional<QJsonValue> Run(const QString& function, QJsonObject argument) const {
        QJsonArray frames;
        for (int index : path) frames.append(index);
        argument.insert("path", frames);
        argument.insert("load", snapshot->load);
        return page->Run(function, argument);
    }
};

class CdpFormElement : public FormElement {
public:
    CdpFormElement(DocumentRef document, int form, int element)
        : document_(std::move(document)), form_(form), element_(element) {}

    std::optional<PropertyValue> ReadProperty(std::string_view name) override {
        const std::string key(name);
        const auto known = Snapshot().properties.find(key);
        if (known != Snapshot().properties.end()) return Value(known->second);
        const std::optional<QJsonValue> read =
            document_.Run(scripts::ReadProperty(), Address({{"name", QString::fromStdString(key)}}));
        if (!read) return std::nullopt;
        const QJsonValue text = read->toObject().value("text");
        return Value(text.isString() ? std::optional<QString>(text.toString()) : std::nullopt);
    }

    bool WriteValue(const std::string& value) override {
        const QString wide = Wide(value);
        if (!document_.Run(scripts::WriteValue(), Address({{"value", wide}}))) return false;
        Snapshot().properties["value"] = wide;
        return true;
    }

private:
    static PropertyValue Value(const std::optional<QString>& text) {
        return text ? PropertyValue{true, Narrow(*text)} : PropertyValue{};
    }
    ElementSnapshot& Snapshot() const {
        return document_.snapshot->forms[static_cast<std::size_t>(form_)][static_cast<std::size_t>(element_)];
    }
    QJsonObject Address(QJsonObject argument) const {
        argument.insert("form", form_);
        argument.insert("element", element_);
        return argument;
    }

    DocumentRef document_;
    int form_;
    int element_;
};

class CdpForm : public Form {
public:
    CdpForm(DocumentRef document, int form) : document_(std::move(document)), form_(form) {}

    std::optional<int> ElementCount() override { return static_cast<int>(Elements().size()); }

    std::unique_ptr<FormElement> Element(int index) override {
        if (!InRange(index, Elements())) return nullptr;
        return std::make_unique<CdpFormElement>(document_, form_, index);
    }

    bool Submit() override { return document_.Run(scripts::SubmitForm(), {{"form", form_}}).has_value(); }

private:
    const std::vector<ElementSnapshot>& Elements() const {
        return document_.snapshot->forms[static_cast<std::size_t>(form_)];
    }

    DocumentRef document_;
    int form_;
};

class CdpFormCollection : public FormCollection {
public:
    explicit CdpFormCollection(DocumentRef document) : document_(std::move(document)) {}

    std::optional<int> Count() override { return static_cast<int>(document_.snapshot->forms.size()); }

    std::unique_ptr<Form> Item(int index) override {
        if (!InRange(index, document_.snapshot->forms)) return nullptr;
        return std::make_unique<CdpForm>(document_, index);
    }

private:
    DocumentRef document_;
};

class CdpDocument : public Document {
public:
    explicit CdpDocument(DocumentRef document) : document_(std::move(document)) {}

    std::optional<std::string> Title() override { return Narrow(document_.snapshot->title); }
    std::optional<std::string> Url() override { return Narrow(document_.snapshot->url); }
    std::unique_ptr<FormCollection> Forms() override { return std::make_unique<CdpFormCollection>(document_); }
    std::unique_ptr<FrameCollection> Frames() override;

    bool Navigate(const std::string& url) override {
        return document_.Run(scripts::Navigate(), {{"url", Wide(url)}}).has_value();
    }

    std::string LoadId() override {
        // The page, the frame within it, and the document's time origin, which is new with each load.
        std::string frame;
        for (int index : document_.path) frame += "/" + std::to_string(index);
        return document_.page->session->targetId.toStdString() + frame + "@" + document_.snapshot->load.toStdString();
    }

private:
    DocumentRef document_;
};

class CdpFrameCollection : public FrameCollection {
public:
    explicit CdpFrameCollection(DocumentRef document) : document_(std::move(document)) {}

    std::optional<int> Count() override { return static_cast<int>(document_.snapshot->frames.size()); }

    std::optional<FrameItem> Item(int index) override {
        if (!InRange(index, document_.snapshot->frames)) return std::nullopt;
        FrameItem item;
        item.hasWindow = true;
        if (std::shared_ptr<DocumentSnapshot> frame = document_.snapshot->frames[static_cast<std::size_t>(index)]) {
            DocumentRef child{document_.page, std::move(frame), document_.path};
            child.path.push_back(index);
            item.document = std::make_unique<CdpDocument>(std::move(child));
        }
        return item;
    }

private:
    DocumentRef document_;
};

std::unique_ptr<FrameCollection> CdpDocument::Frames() {
    return std::make_unique<CdpFrameCollection>(document_);
}

}  // namespace

std::unique_ptr<Document> WindowList::WindowDocument(int index) {
    if (!InRange(index, pages_) || !pages_[static_cast<std::size_t>(index)]) return nullptr;
    const std::shared_ptr<const Page>& page = pages_[static_cast<std::size_t>(index)];
    return std::make_unique<CdpDocument>(DocumentRef{page, page->root, {}});
}

}  // namespace platform::cdp
