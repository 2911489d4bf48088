// CKvListViewView: the document view whose window is a report list (CKvListCtrl) of the rows of
// a ResultsModel. The rows are the document's (CResultsDocument) when it has such a document,
// else the view's own; the list reads them whenever it draws.
//
// The view takes the list's commands (select all 32786, copy 32787, find 57636, find-and-replace
// form 57641, find next 57640) from the menu, the toolbar and the context menu and hands them to
// the list. When they are enabled is the derived view's business.
//
// To show new rows: fill a model and hand it over with SetModel, or change GetModel()'s rows and
// call RefreshRows; either way the list is told the row count and repainted once.
#pragma once

#include <memory>

#include <wx/docview.h>
#include <wx/weakref.h>

#include "engine/results/results_model.h"
#include "results/listed_results.h"
#include "results/kv_list_ctrl.h"

class CKvListViewView : public wxView {
public:
    CKvListViewView();
    ~CKvListViewView() override;

    // Creates the list in the main frame (style from PreCreateWindow) and makes it the view's
    // window. False when there is no main frame or the window could not be created.
    bool OnCreate(wxDocument* doc, long flags) override;
    // The list goes with the view.
    bool OnClose(bool deleteWindow) override;
    // Draws nothing: the list draws itself.
    void OnDraw(wxDC* dc) override;

    // The view's window (nullptr when it has none).
    CKvListCtrl* GetListCtrl() const;

    // The rows shown, with their order as found. Never null.
    ResultsModel& GetModel() { return *m_listed->model; }
    const ResultsModel& GetModel() const { return *m_listed->model; }
    ListedResults& Listed() { return *m_listed; }
    const ListedResults& Listed() const { return *m_listed; }
    // Replaces the rows by those of `model` (nullptr: no rows); the old model and its records
    // go. The selection is cleared and the list repainted once.
    void SetModel(std::unique_ptr<ResultsModel> model);
    // Shows the model's rows after they were changed in place (one row count, one repaint).
    void RefreshRows();

protected:
    // The list's window style; wxLC_REPORT and wxLC_VIRTUAL are always added. The derived view
    // adds its own bits to `style` and returns it.
    virtual long PreCreateWindow(long style) { return style; }

private:
    void OnSelectAllRows(wxCommandEvent& event);
    void OnCopyRows(wxCommandEvent& event);
    void OnEditFind(wxCommandEvent& event);
    void OnEditReplace(wxCommandEvent& event);
    void OnEditRepeat(wxCommandEvent& event);

    std::unique_ptr<ListedResults> m_own;  // until the view has its document
    ListedResults* m_listed;
    wxWeakRef<CKvListCtrl> m_list;

    wxDECLARE_ABSTRACT_CLASS(CKvListViewView);
    wxDECLARE_EVENT_TABLE();
};
