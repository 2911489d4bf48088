// The search options sheet: the Paths page and the Filters page over one SearchOptions, shown
// before every search.
#pragma once

#include <wx/propdlg.h>

#include "engine/search/duplicate_search.h"
#include "engine/results/keep_settings.h"

class wxBookCtrlEvent;
class CPathsPage;
class CFilterPropPage;
class CKeepRulesPage;

class COptionsSheet : public wxPropertySheetDialog {
public:
    // The sheet with both pages, the Paths page selected. `parent` may be null.
    explicit COptionsSheet(wxWindow* parent);

    // The options into the pages: paths and mask into the Paths page, the filter's limits,
    // mode and ignore mask into the Filters page and its boxes from the wanted bits.
    void CopyIn(const SearchOptions& options);
    // The pages' values back into `options`, the two attribute masks rebuilt from the boxes.
    void CopyBack(SearchOptions& options);

    CPathsPage* PathsPage() const { return m_pathsPage; }
    CFilterPropPage* FilterPage() const { return m_filterPage; }
    CKeepRulesPage* KeepRulesPage() const { return m_keepPage; }
    // The keep rules into their page, and back.
    void CopyInKeep(const KeepSettings& keep);
    void CopyBackKeep(KeepSettings& keep);

    // OK: the page shown saves its values; when it refuses, the sheet stays open on it.
    void OnOK();

private:
    void OnPageChanging(wxBookCtrlEvent& event);
    void OnPageChanged(wxBookCtrlEvent& event);
    void OnCharHook(wxKeyEvent& event);

    CPathsPage* m_pathsPage = nullptr;
    CFilterPropPage* m_filterPage = nullptr;
    CKeepRulesPage* m_keepPage = nullptr;
};

// The page a key of the sheet moves to: 1 the next (Ctrl+PageDown, Ctrl+Tab), -1 the one
// before (Ctrl+PageUp, Ctrl+Shift+Tab), 0 for any other key. `modifiers` are wxMOD_* bits.
int PageStepOfKey(int keyCode, int modifiers);

// Shows the options sheet over `options` (parent may be null). On OK returns true with
// `options` updated; otherwise returns false and leaves `options` as it was.
bool RunSearchOptionsSheet(wxWindow* parent, SearchOptions& options);
// The same with the keep rules page over `keep` (updated on OK too).
bool RunSearchOptionsSheet(wxWindow* parent, SearchOptions& options, KeepSettings& keep);
