#include "automation/submitted_documents.h"

#include <utility>

bool SubmittedDocuments::Contains(const std::string& loadId) {
    if (!m_submitted.contains(loadId)) return false;
    m_seen.insert(loadId);
    return true;
}

void SubmittedDocuments::Add(const std::string& loadId) {
    if (loadId.empty()) return;
    m_submitted.insert(loadId);
    m_seen.insert(loadId);
}

void SubmittedDocuments::ForgetUnseen() { m_submitted = std::exchange(m_seen, {}); }
