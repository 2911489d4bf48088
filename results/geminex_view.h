// CGeminexView: the one view of the program; its window is the report list of the results
// (CKvListViewView), with the five column headings.
//
// The commands whose handlers come with the search, the file commands, the export and printing
// are disabled here through their update handlers, so no menu item, button or key reaches a
// command that would do nothing. The list's own commands are enabled while the list has rows.
#pragma once

#include "results/kv_list_view_view.h"

class CGeminexView : public CKvListViewView {
public:
    CGeminexView();
    ~CGeminexView() override;

    // Creates the list in the main frame, inserts the columns and activates the view.
    bool OnCreate(wxDocument* doc, long flags) override;
    // The frame's title never shows the document name (CMainFrame keeps the application title).
    void OnChangeFilename() override;

    // Sizes column `column` (every column when negative) to the larger of its contents and its
    // heading, at least 10 pixels.
    void AutoSizeColumns(int column);

private:
    void OnUpdateLaterCommand(wxUpdateUIEvent& event);
    void OnUpdateNeedRows(wxUpdateUIEvent& event);
    // Save as (CSV), print and print setup; the print settings are the document manager's.
    void OnFileSaveAs(wxCommandEvent& event);
    void OnFilePrint(wxCommandEvent& event);
    void OnFilePrintSetup(wxCommandEvent& event);

    wxDECLARE_DYNAMIC_CLASS(CGeminexView);
    wxDECLARE_EVENT_TABLE();
};
