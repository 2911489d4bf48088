// CResultsDocument: the document whose data is the listed results (ListedResults): the rows of
// the last search, their order as found and the rules that ordered them. Views show them and
// change them; they live as long as the document, not as long as one view.
#pragma once

#include <wx/docview.h>

#include "results/listed_results.h"

class CResultsDocument : public wxDocument {
public:
    ListedResults& Listed() { return m_listed; }
    const ListedResults& Listed() const { return m_listed; }

private:
    ListedResults m_listed;

    wxDECLARE_ABSTRACT_CLASS(CResultsDocument);
};
