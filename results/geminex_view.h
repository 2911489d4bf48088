// CGeminexView: the one view of the program; its window is a report list.
//
// For now the view shows the five column headings and no rows. The commands whose handlers come
// with the search, the list view base, the file commands, the export and printing are disabled
// here through their update handlers, so no menu item, button or key reaches a command that
// would do nothing.
#pragma once

#include <wx/docview.h>
#include <wx/weakref.h>

class wxListCtrl;

class CGeminexView : public wxView {
public:
    CGeminexView();
    ~CGeminexView() override;

    // Creates the list in the main frame, inserts the columns and activates the view.
    bool OnCreate(wxDocument* doc, long flags) override;
    // The list goes with the view.
    bool OnClose(bool deleteWindow) override;
    // Draws nothing: the list draws itself.
    void OnDraw(wxDC* dc) override;
    // The frame's title never shows the document name (CMainFrame keeps the application title).
    void OnChangeFilename() override;

    // The view's window (nullptr when it has none).
    wxListCtrl* GetListCtrl() const;

    // Sizes column `column` (every column when negative) to the larger of its contents and its
    // heading, at least 10 pixels.
    void AutoSizeColumns(int column);

private:
    void OnUpdateLaterCommand(wxUpdateUIEvent& event);

    wxWeakRef<wxListCtrl> m_list;

    wxDECLARE_DYNAMIC_CLASS(CGeminexView);
    wxDECLARE_EVENT_TABLE();
};
