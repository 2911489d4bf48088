// CGeminexDoc: the program's document. It holds the listed results (CResultsDocument); nothing
// is ever loaded or saved through it as a file (the settings live in the settings store).
#pragma once

#include "results/results_document.h"

class CGeminexDoc : public CResultsDocument {
public:
    CGeminexDoc() = default;

    // Only the framework's own work (it names the document); there is nothing to set up.
    bool OnNewDocument() override;

    // Nothing is read from or written to a document file; opening one that cannot be read
    // fails (and with it a start that names it on the command line).
    bool DoOpenDocument(const wxString& file) override;
    bool DoSaveDocument(const wxString& file) override;

private:
    wxDECLARE_DYNAMIC_CLASS(CGeminexDoc);
};
