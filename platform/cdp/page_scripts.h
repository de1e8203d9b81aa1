#pragma once
// The functions Lumatra runs in its own isolated world of a page's main frame.  Page scripts
// cannot see them or change the objects they use.  Each takes one argument object and gives
// null when it cannot do its work.

#include <QString>

namespace platform::cdp::scripts {

// The whole frame tree of the page: for each reachable document its title, URL, load (the
// window's time origin), its forms' elements and its frames; an unreachable frame is null.
QString ReadPage();

// The functions below act on the document that `a.path` (frame indices from the main frame)
// leads to, and only while that document is still the load `a.load`.

// {text} when element `a.element` of form `a.form` has a string property `a.name`, else {}.
QString ReadProperty();
// Sets element `a.element` of form `a.form` to `a.value`, with the events that typing gives.
QString WriteValue();
// Submits form `a.form`.
QString SubmitForm();
// Sends the document to `a.url`.
QString Navigate();

}  // namespace platform::cdp::scripts
