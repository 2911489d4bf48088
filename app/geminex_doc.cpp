#include "app/geminex_doc.h"

#include <wx/filename.h>

wxIMPLEMENT_DYNAMIC_CLASS(CGeminexDoc, CResultsDocument);

bool CGeminexDoc::OnNewDocument() { return CResultsDocument::OnNewDocument(); }

bool CGeminexDoc::DoOpenDocument(const wxString& file) {
    // Opening still fails, as it did, when the file cannot be read.
    return wxFileName::IsFileReadable(file);
}

bool CGeminexDoc::DoSaveDocument(const wxString& /*file*/) { return true; }
