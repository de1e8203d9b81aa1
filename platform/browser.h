#pragma once
// The open browser windows and the documents in them, as the page handler sees them.
//
// Every object handed out here is owned by the caller through a unique_ptr and is released when
// that goes out of scope, so nothing a scan obtains outlives the scan.  A call that can fail says
// so in its result: an empty optional, a null pointer or false.  All text is narrow text
// (platform/text.h): the backend converts at its edge.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A property read from a form element: a string, or some other value (null, a number, ...).
struct PropertyValue {
    bool isString = false;
    std::string text;  // the string's narrow text when isString
};

class FormElement {
public:
    virtual ~FormElement() = default;
    // Reads the named property; nullopt when the read fails.
    virtual std::optional<PropertyValue> ReadProperty(std::string_view name) = 0;
    // Writes the element's "value" property; false when the write fails.
    virtual bool WriteValue(const std::string& value) = 0;
};

class Form {
public:
    virtual ~Form() = default;
    // Number of elements; nullopt when it cannot be read.
    virtual std::optional<int> ElementCount() = 0;
    // Element `index`; null when it cannot be got or is null.
    virtual std::unique_ptr<FormElement> Element(int index) = 0;
    // Submits the form; false when the submit fails.
    virtual bool Submit() = 0;
};

class FormCollection {
public:
    virtual ~FormCollection() = default;
    virtual std::optional<int> Count() = 0;
    // Form `index`; null when it cannot be got, is null, or is not a form.
    virtual std::unique_ptr<Form> Item(int index) = 0;
};

class Document;

// What `item` gives for one frame: the call may fail, may hold no window, and a window's
// document may be unreachable (null), for instance a frame from another origin.
struct FrameItem {
    bool hasWindow = false;
    std::unique_ptr<Document> document;
};

class FrameCollection {
public:
    virtual ~FrameCollection() = default;
    // Number of frames; nullopt when it cannot be read.
    virtual std::optional<int> Count() = 0;
    // Frame `index`; nullopt when the call fails.
    virtual std::optional<FrameItem> Item(int index) = 0;
};

class Document {
public:
    virtual ~Document() = default;
    // The title; nullopt when it cannot be read.  A null title reads as empty text.
    virtual std::optional<std::string> Title() = 0;
    // The document's URL; nullopt when it cannot be read.
    virtual std::optional<std::string> Url() = 0;
    // The forms collection; null when it cannot be got.
    virtual std::unique_ptr<FormCollection> Forms() = 0;
    // The frames collection; null when the document has none.
    virtual std::unique_ptr<FrameCollection> Frames() = 0;
    // Sends the document to `url`; false when the navigation fails.
    virtual bool Navigate(const std::string& url) = 0;
    // Names this load of the document: stays the same while the document lives and changes when
    // the frame loads a new document, even from the same URL.  Empty when unknown.
    virtual std::string LoadId() = 0;
};

// The browser windows open at one moment, in a stable order for the length of one scan.
class BrowserWindowList {
public:
    virtual ~BrowserWindowList() = default;
    // Number of windows; 0 when it cannot be read.
    virtual int Count() = 0;
    // The HTML document of window `index`; null when the window cannot be got, is no web browser,
    // or holds no HTML document.
    virtual std::unique_ptr<Document> WindowDocument(int index) = 0;
};

class Browser {
public:
    virtual ~Browser() = default;
    // A fresh list of the open windows; null when the list cannot be made.
    virtual std::unique_ptr<BrowserWindowList> OpenWindows() = 0;
};

}  // namespace platform
