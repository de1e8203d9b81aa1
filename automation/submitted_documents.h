#pragma once
// The login pages that Lumatra has submitted, by the load that the browser names.
//
// A login form is submitted once per load of the page: submitting it again while the server is
// still answering would cancel the login.  Only the pages still open at the latest scan are
// remembered, so the memory never grows beyond the open pages.

#include <set>
#include <string>

class SubmittedDocuments {
public:
    // Whether the load was submitted; a load asked about counts as still open.
    bool Contains(const std::string& loadId);
    // Remembers a submitted load; an unnamed load (empty) is never remembered.
    void Add(const std::string& loadId);
    // Forgets every load not asked about or added since the last call.
    void ForgetUnseen();

private:
    std::set<std::string> m_submitted;
    std::set<std::string> m_seen;  // the part of m_submitted still open
};
