#include "platform/cdp/page_scripts.h"

namespace platform::cdp::scripts {
namespace {

// Finds what the other functions act on.  A frame of another origin throws on access, exactly
// where the page's own scripts would be stopped.
constexpr const char* kLocate = R"JS(
  const documentAt = (a) => {
    let win = window;
    for (const k of a.path) {
      if (k >= win.frames.length) return null;
      win = win.frames[k];
    }
    return String(win.performance.timeOrigin) === a.load ? win.document : null;
  };
  const formAt = (a) => {
    const doc = documentAt(a);
    return (doc && doc.forms[a.form]) || null;
  };
  const elementAt = (a) => {
    const form = formAt(a);
    return (form && form.elements[a.element]) || null;
  };
)JS";

QString Function(const char* body) {
    return QStringLiteral("function (a) {") + kLocate + QStringLiteral("try {") + body +
           QStringLiteral("} catch (e) { return null; } }");
}

}  // namespace

QString ReadPage() {
    return Function(R"JS(
      const text = (v) => (typeof v === 'string' ? v : null);
      const read = (win) => {
        let doc;
        try {
          doc = win.document;
        } catch (e) {
          return null;
        }
        if (!doc) return null;
        const frames = [];
        for (let k = 0; k < win.frames.length; ++k) frames.push(read(win.frames[k]));
        return {
          title: doc.title,
          url: doc.URL,
          load: String(win.performance.timeOrigin),
          forms: Array.from(doc.forms, (form) => Array.from(form.elements,
              (e) => ({name: text(e.name), value: text(e.value), type: text(e.type)}))),
          frames,
        };
      };
      return read(window);
    )JS");
}

QString ReadProperty() {
    return Function(R"JS(
      const element = elementAt(a);
      if (!element) return null;
      const value = element[a.name];
      return typeof value === 'string' ? {text: value} : {};
    )JS");
}

QString WriteValue() {
    return Function(R"JS(
      const element = elementAt(a);
      if (!element || !('value' in element)) return null;
      element.value = a.value;
      for (const type of ['input', 'change'])
        element.dispatchEvent(new Event(type, {bubbles: true}));
      return true;
    )JS");
}

// form.submit() rather than requestSubmit(): like the submit of the browsers the application was
// written for, it fires no submit event and checks no constraints, so neither a page handler nor
// an empty required field can stop the login without a word.
QString SubmitForm() {
    return Function(R"JS(
      const form = formAt(a);
      if (!form) return null;
      HTMLFormElement.prototype.submit.call(form);
      return true;
    )JS");
}

QString Navigate() {
    return Function(R"JS(
      const doc = documentAt(a);
      if (!doc) return null;
      doc.defaultView.location.assign(a.url);
      return true;
    )JS");
}

}  // namespace platform::cdp::scripts
