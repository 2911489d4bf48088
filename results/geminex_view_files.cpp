// The view's commands on files of its own: saved results (save, open) and the comparison
// with a catalog. The reading and checking is the engine's; here are the dialogs, the worker
// and what the list shows after.
#include <wx/utils.h>

#include "engine/store/cache_answers.h"
#include "engine/store/catalog.h"
#include "engine/store/saved_results.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/text/text_helpers.h"
#include "gui/frame_status.h"
#include "gui/message_box.h"
#include "gui/wx_text.h"
#include "options/kv_file_dialog.h"
#include "options/options_sheet.h"
#include "platform/error_text.h"
#include "platform/file_replace.h"
#include "results/display_text.h"
#include "results/geminex_view.h"
#include "results/kv_list_ctrl.h"
#include "results/skipped_places.h"

namespace {

void ShowRefusal(const std::string& text, wxWindow* parent) {
    ShowMessageBox(parent, wxString::FromUTF8(ShownUtf8(text)), wxOK | wxICON_EXCLAMATION);
}

}  // namespace

// What opening a saved result or comparing with a catalog owns on the worker.
struct CGeminexView::LoadJob {
    std::string path;
    bool catalog = false;  // a comparison with the catalog at `path`
    SearchOptions options;  // a comparison's folders, masks and filters
    std::int64_t cacheSize = 0;  // 0: no cache
    std::shared_ptr<WorkProgress> progress;
    std::unique_ptr<SkippedPlaces> skipped;
    std::unique_ptr<ResultsModel> model = std::make_unique<ResultsModel>();
    SavedSearch saved;
    ReopenCounts counts;
    std::string error;  // why it was refused ("" and not done: stopped)
    bool done = false;
};

std::string CGeminexView::ChooseResultsFile(bool open, const std::string& filter) {
    if (m_chooseResultsFile) return m_chooseResultsFile(open, filter);
    std::string folder, name;
    SplitSaveFileName(m_strLastResultsFile, &folder, &name);
    const bool catalog = filter == LoadStringText(IDS_CATALOG_FILTER);
    if (catalog) name.clear();
    CKVFileDialog dialog(open, catalog ? "pscatalog" : "pairscout", name,
                         open ? wxFD_FILE_MUST_EXIST : wxFD_OVERWRITE_PROMPT, filter, GetFrame());
    if (!folder.empty()) {
        dialog.SetDirectory(Utf8ToWx(folder));
        dialog.m_strInitialDir = folder;
    }
    if (dialog.DoModal() != 1) return std::string();
    const std::string path = dialog.GetPathName();
    if (!catalog) m_strLastResultsFile = path;
    return path;
}

void CGeminexView::OnUpdateOpenResults(wxUpdateUIEvent& event) { event.Enable(!m_bBusy); }

void CGeminexView::OnSaveResults(wxCommandEvent&) {
    if (GetModel().RowCount() == 0 || m_bBusy) return;
    const std::string path = ChooseResultsFile(false, LoadStringText(IDS_RESULTS_FILTER));
    if (!path.empty()) SaveResults(path);
}

void CGeminexView::OnOpenResults(wxCommandEvent&) {
    if (m_bBusy) return;
    const std::string path = ChooseResultsFile(true, LoadStringText(IDS_RESULTS_FILTER));
    if (!path.empty()) OpenResults(path);
}

void CGeminexView::OnAgainstCatalog(wxCommandEvent&) {
    if (m_bBusy) return;
    const std::string path = ChooseResultsFile(true, LoadStringText(IDS_CATALOG_FILTER));
    if (path.empty()) return;
    // Which folders to compare: the search's own sheet, its keep rules left as they are.
    SearchOptions options = GetSearchOptions();
    wxWindow* parent = GetFrame() != nullptr ? GetFrame() : GetListCtrl();
    if (!RunSearchOptionsSheet(parent, options)) return;
    SetSearchOptions(options);
    CompareWithCatalog(path, options);
}

bool CGeminexView::SaveResults(const std::string& path) {
    if (m_bBusy) return false;
    wxBusyCursor wait;
    SavedSearch search;
    const SearchOptions options = GetSearchOptions();
    search.paths = Listed().startPaths.empty() ? options.paths : Listed().startPaths;
    search.mask = options.mask;
    search.protect = m_keep.protectedFolders;
    int error = 0;
    if (platform::ReplaceFileContents(path, FormatResultsDocument(GetModel(), &search), &error))
        return true;
    ShowRefusal(FormatResultsNotSaved(path, platform::ErrorText(error)), GetFrame());
    return false;
}

bool CGeminexView::OpenResults(const std::string& path) {
    if (m_bBusy) return false;
    auto job = std::make_shared<LoadJob>();
    job->path = path;
    job->progress = BeginWork(1000);
    StartWork([job] {
        std::string text;
        if (!ReadWholeFile(job->path, &text, &job->error)) return;
        ReopenParts parts;
        WorkProgress* progress = job->progress.get();
        progress->SetStatus(LoadStringText(IDS_RESULTS_CHECKING));
        parts.progress = [progress](double share) {
            progress->StepProgress(static_cast<std::int64_t>(share * 1000) - progress->Done());
            return !progress->Cancelled();
        };
        job->done = ReadResultsDocument(text, job->model.get(), &job->saved, &job->counts,
                                        &job->error, parts);
    }, [this, job] { LoadDone(*job); });
    return true;
}

bool CGeminexView::CompareWithCatalog(const std::string& catalogPath, const SearchOptions& options) {
    if (m_bBusy) return false;
    auto job = std::make_shared<LoadJob>();
    job->path = catalogPath;
    job->catalog = true;
    job->options = options;
    job->cacheSize = std::int64_t{m_nCacheSizeMb} << 20;
    job->progress = BeginWork(1000);
    job->skipped = std::make_unique<SkippedPlaces>(job->progress.get());
    StartWork([job] {
        std::string text;
        Catalog catalog;
        if (!ReadWholeFile(job->path, &text, &job->error) ||
            !ReadCatalogDocument(text, &catalog, &job->error))
            return;
        text = std::string();
        FingerprintCache cache;
        const std::string cachePath = FingerprintCache::DefaultPath();
        if (job->cacheSize > 0) OpenSearchCache(cache, cachePath, job->cacheSize, job->skipped.get());
        job->done = ::CompareWithCatalog(catalog, job->options, job->skipped.get(),
                                         cache.IsOpen() ? &cache : nullptr, job->model.get());
        FlushSearchCache(cache, cachePath, job->skipped.get());
        job->saved.paths = job->options.paths;
        job->saved.catalog = catalog.name;
    }, [this, job] { LoadDone(*job); });
    return true;
}

void CGeminexView::LoadDone(LoadJob& job) {
    if (!job.done) {
        if (!job.error.empty() && !m_bCloseAfterWork)
            ShowRefusal(job.catalog ? FormatCatalogNotOpened(job.path, job.error)
                                    : FormatResultsNotOpened(job.path, job.error),
                        GetFrame());
        EndBusy();
        return;
    }
    ListedResults& listed = Listed();
    m_actions.NewSearch();
    listed.found.Remember(*job.model);
    listed.policy = m_keep.Policy();
    listed.startPaths = job.saved.paths;
    ++listed.number;
    m_nFromCache = 0;
    m_nFilesSeen = -1;
    m_bPartial = false;
    SetModel(std::move(job.model));
    ArrangeListed();
    AutoSizeColumns(-1);
    UpdateStatusText();
    FocusList(0);
    std::string message;
    if (job.catalog) {
        int here = 0;
        for (std::size_t row = 0; row < GetModel().RowCount(); ++row)
            here += GetModel().Row(row).StandsHere();
        if (here > 0) message = FormatCatalogGroups(here, job.saved.catalog);
        if (job.skipped && job.skipped->Count() > 0)
            message += (message.empty() ? "" : "\n\n") + job.skipped->Message();
    } else if (job.counts.NotHere() > 0) {
        message = FormatResultsReopened(job.counts.NotHere());
    }
    // Not for a window on its way to close.
    if (!message.empty() && !m_bCloseAfterWork)
        ShowMessageBox(GetFrame(), wxString::FromUTF8(ShownUtf8(message)), wxOK | wxICON_INFORMATION);
    EndBusy();
}
