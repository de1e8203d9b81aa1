#include "platform/testing/scripted_browser.h"

#include <utility>

namespace platform::testing {
namespace {

using Log = std::vector<std::string>;

// Records a call, marking one scripted to fail; gives whether it succeeds.
bool Record(Log& log, const std::string& document, const std::string& call, bool fails) {
    log.push_back(document + ": " + call + (fails ? " (fails)" : ""));
    return !fails;
}

class ScriptedFormElement : public FormElement {
public:
    ScriptedFormElement(const ScriptedElement& element, std::string label, std::string document,
                        Log& log)
        : m_element(element),
          m_label(std::move(label)),
          m_document(std::move(document)),
          m_log(log) {}

    std::optional<PropertyValue> ReadProperty(std::string_view name) override {
        const auto property = m_element.properties.find(name);
        if (property == m_element.properties.end()) return std::nullopt;
        return property->second;
    }

    bool WriteValue(const std::string& value) override {
        return Record(m_log, m_document, m_label + " = " + value, m_element.writeFails);
    }

private:
    const ScriptedElement& m_element;
    std::string m_label;
    std::string m_document;
    Log& m_log;
};

// The element's name when it has a readable string name, else its index.
std::string LabelOf(const ScriptedElement& element, int index) {
    const auto name = element.properties.find("name");
    if (name != element.properties.end() && name->second && name->second->isString)
        return name->second->text;
    return "element " + std::to_string(index);
}

class ScriptedFormHandle : public Form {
public:
    ScriptedFormHandle(const ScriptedForm& form, int index, std::string document, Log& log)
        : m_form(form), m_index(index), m_document(std::move(document)), m_log(log) {}

    std::optional<int> ElementCount() override {
        if (m_form.elementCountFails) return std::nullopt;
        return static_cast<int>(m_form.elements.size());
    }

    std::unique_ptr<FormElement> Element(int index) override {
        if (index < 0 || index >= static_cast<int>(m_form.elements.size())) return nullptr;
        const ScriptedElement& element = m_form.elements[static_cast<std::size_t>(index)];
        if (element.missing) return nullptr;
        return std::make_unique<ScriptedFormElement>(element, LabelOf(element, index), m_document,
                                                     m_log);
    }

    bool Submit() override {
        return Record(m_log, m_document, "submit form " + std::to_string(m_index),
                      m_form.submitFails);
    }

private:
    const ScriptedForm& m_form;
    int m_index;
    std::string m_document;
    Log& m_log;
};

class ScriptedForms : public FormCollection {
public:
    ScriptedForms(const ScriptedDocument& document, Log& log) : m_document(document), m_log(log) {}

    std::optional<int> Count() override {
        if (m_document.formCountFails) return std::nullopt;
        return static_cast<int>(m_document.forms.size());
    }

    std::unique_ptr<Form> Item(int index) override {
        if (index < 0 || index >= static_cast<int>(m_document.forms.size())) return nullptr;
        const ScriptedForm& form = m_document.forms[static_cast<std::size_t>(index)];
        if (form.missing) return nullptr;
        return std::make_unique<ScriptedFormHandle>(form, index, m_document.name, m_log);
    }

private:
    const ScriptedDocument& m_document;
    Log& m_log;
};

std::unique_ptr<Document> OpenDocument(const ScriptedDocument& document, Log& log);

class ScriptedFrames : public FrameCollection {
public:
    ScriptedFrames(const ScriptedDocument& document, Log& log) : m_document(document), m_log(log) {}

    std::optional<int> Count() override {
        if (m_document.frameCountFails) return std::nullopt;
        return static_cast<int>(m_document.frames.size());
    }

    std::optional<FrameItem> Item(int index) override {
        if (index < 0 || index >= static_cast<int>(m_document.frames.size())) return std::nullopt;
        const ScriptedFrame& frame = m_document.frames[static_cast<std::size_t>(index)];
        if (frame.itemFails) return std::nullopt;
        FrameItem item;
        item.hasWindow = frame.hasWindow;
        if (frame.hasWindow && frame.document) item.document = OpenDocument(*frame.document, m_log);
        return item;
    }

private:
    const ScriptedDocument& m_document;
    Log& m_log;
};

class ScriptedDocumentHandle : public Document {
public:
    ScriptedDocumentHandle(const ScriptedDocument& document, Log& log)
        : m_document(document), m_log(log) {}

    std::optional<std::string> Title() override { return m_document.title; }
    std::optional<std::string> Url() override { return m_document.url; }

    std::unique_ptr<FormCollection> Forms() override {
        if (m_document.formsMissing) return nullptr;
        return std::make_unique<ScriptedForms>(m_document, m_log);
    }

    std::unique_ptr<FrameCollection> Frames() override {
        if (m_document.framesMissing) return nullptr;
        return std::make_unique<ScriptedFrames>(m_document, m_log);
    }

    bool Navigate(const std::string& url) override {
        const std::optional<int> allowed = m_document.navigationsBeforeFailure;
        const bool fails = allowed && m_navigations >= *allowed;
        ++m_navigations;
        return Record(m_log, m_document.name, "navigate " + url, fails);
    }

    std::string LoadId() override { return m_document.loadId; }

private:
    const ScriptedDocument& m_document;
    Log& m_log;
    int m_navigations = 0;
};

std::unique_ptr<Document> OpenDocument(const ScriptedDocument& document, Log& log) {
    return std::make_unique<ScriptedDocumentHandle>(document, log);
}

class ScriptedWindowList : public BrowserWindowList {
public:
    explicit ScriptedWindowList(ScriptedBrowser& browser) : m_browser(browser) {}

    int Count() override { return static_cast<int>(m_browser.windows.size()); }

    std::unique_ptr<Document> WindowDocument(int index) override {
        if (index < 0 || index >= Count()) return nullptr;
        const std::optional<ScriptedDocument>& window =
            m_browser.windows[static_cast<std::size_t>(index)];
        if (!window) return nullptr;
        return OpenDocument(*window, m_browser.log);
    }

private:
    ScriptedBrowser& m_browser;
};

}  // namespace

ScriptedProperty StringValue(std::string text) { return PropertyValue{true, std::move(text)}; }
ScriptedProperty NonStringValue() { return PropertyValue{false, {}}; }

ScriptedElement Input(std::string name) {
    return {.properties = {{"name", StringValue(std::move(name))},
                           {"value", StringValue("")},
                           {"type", StringValue("text")}}};
}

ScriptedFrame Frame(ScriptedDocument document) { return {.document = std::move(document)}; }
ScriptedFrame FailingFrame() { return {.itemFails = true}; }
ScriptedFrame WindowlessFrame() { return {.hasWindow = false}; }
ScriptedFrame UnreachableFrame() { return {}; }

std::unique_ptr<BrowserWindowList> ScriptedBrowser::OpenWindows() {
    if (openWindowsFails) return nullptr;
    return std::make_unique<ScriptedWindowList>(*this);
}

}  // namespace platform::testing
