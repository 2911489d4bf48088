#include "app/doc_manager.h"

#include <wx/filehistory.h>

CGeminexDocManager::CGeminexDocManager(std::size_t maxRecentFiles)
    : wxDocManager(0, false), m_maxRecentFiles(maxRecentFiles) {}

wxFileHistory* CGeminexDocManager::OnCreateFileHistory() {
    return new wxFileHistory(m_maxRecentFiles, wxID_FILE1);
}
