#pragma once
// A browser whose windows, documents, frames and forms are plain data written by the test, and
// which records, in order, every write, submit and navigation it is asked for.
//
// Log lines name the document by its `name`:
//     "login: username = alice"          a write into an element's "value" (the element's name)
//     "login: submit form 0"
//     "app: navigate http://srv/login/shutdown.php"
// A call scripted to fail is recorded too, with " (fails)" after it.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/browser.h"

namespace platform::testing {

// A property as the browser gives it; nullopt: the read fails.
using ScriptedProperty = std::optional<PropertyValue>;
ScriptedProperty StringValue(std::string text);
ScriptedProperty NonStringValue();  // a null string, a number, ...

struct ScriptedElement {
    std::map<std::string, ScriptedProperty, std::less<>> properties{};  // unlisted: the read fails
    bool writeFails = false;
    bool missing = false;  // getting the element fails or gives null
};

// An input named `name`, with an empty value and the type "text".
ScriptedElement Input(std::string name);

struct ScriptedForm {
    std::vector<ScriptedElement> elements{};
    bool missing = false;  // getting the form fails, or gives null or something that is no form
    bool elementCountFails = false;
    bool submitFails = false;
};

struct ScriptedFrame;

struct ScriptedDocument {
    std::string name{};                     // names the document in the log
    std::optional<std::string> title = "";  // nullopt: the read fails; a null title reads as ""
    std::optional<std::string> url = "http://srv/";  // nullopt: the read fails
    std::string loadId{};
    std::vector<ScriptedForm> forms{};
    bool formsMissing = false;
    bool formCountFails = false;
    std::vector<ScriptedFrame> frames{};
    bool framesMissing = false;
    bool frameCountFails = false;
    // How many navigations of one handed-out document succeed before the rest fail; nullopt: all.
    std::optional<int> navigationsBeforeFailure{};
};

struct ScriptedFrame {
    bool itemFails = false;
    bool hasWindow = true;
    // nullopt: the frame's document is unreachable, for instance from another origin.
    std::optional<ScriptedDocument> document{};
};

ScriptedFrame Frame(ScriptedDocument document);
ScriptedFrame FailingFrame();
ScriptedFrame WindowlessFrame();
ScriptedFrame UnreachableFrame();

class ScriptedBrowser : public Browser {
public:
    // The open windows in index order; nullopt: a window without an HTML document (the item
    // fails, it is no web browser, or it holds no HTML document yet).
    std::vector<std::optional<ScriptedDocument>> windows;
    bool openWindowsFails = false;
    std::vector<std::string> log;

    std::unique_ptr<BrowserWindowList> OpenWindows() override;
};

}  // namespace platform::testing
