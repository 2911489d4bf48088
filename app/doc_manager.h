// CGeminexDocManager: the document manager of the program, with a recent-file list of a chosen
// length (the framework's standard settings; LoadStdProfileSettings with 4).
#pragma once

#include <cstddef>

#include <wx/docview.h>

class CGeminexDocManager : public wxDocManager {
public:
    // `maxRecentFiles` entries in the recent-file list. Call Initialize() after construction
    // (the base class would otherwise create its list before this class exists).
    explicit CGeminexDocManager(std::size_t maxRecentFiles);

protected:
    wxFileHistory* OnCreateFileHistory() override;

private:
    std::size_t m_maxRecentFiles;
};
