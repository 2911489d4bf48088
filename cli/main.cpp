// pairscout-cli: the duplicate search without a window.
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/cli_options.h"
#include "cli/report_writer.h"
#include "cli/terminal_progress.h"
#include "engine/search/directory_scanner.h"
#include "engine/actions/duplicate_action.h"
#include "engine/results/folder_rows.h"
#include "engine/store/cache_answers.h"
#include "engine/store/catalog.h"
#include "engine/store/saved_results.h"
#include "engine/text/size_text.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/text/text_language.h"
#include "platform/console.h"
#include "platform/file_find.h"
#include "platform/file_metadata.h"
#include "platform/file_replace.h"
#include "platform/path_forms.h"
#include "platform/file_time.h"
#include "platform/error_text.h"

namespace {

volatile std::sig_atomic_t g_cancel = 0;

void OnInterrupt() {
    // The first Ctrl+C stops the search and lets the groups found so far be written; a second
    // one ends the program at once, whatever it waits for (a full pipe, a slow disk).
    if (g_cancel != 0) std::_Exit(130);
    g_cancel = 1;
}

void PrintError(const std::string& text) {
    const std::string line = "pairscout-cli: " + EscapeControls(text) + "\n";
    platform::WriteStandardText(stderr, line);
}

// Writes `text` to standard output and closes it. False, with the system's reason in *why,
// when any of it could not be written (a full disk, a reader that went away): a list cut short
// must not pass for a whole one.
bool WriteOutput(const std::string& text, std::string* why) {
    int error = 0;
    errno = 0;
    if (!platform::WriteStandardText(stdout, text)) error = errno != 0 ? errno : EIO;
    if (std::fflush(stdout) != 0 && error == 0) error = errno;
    const bool failed = std::ferror(stdout) != 0;
    if (std::fclose(stdout) != 0 && error == 0) error = errno;
    if (error == 0 && !failed) return true;
    *why = std::strerror(error != 0 ? error : EIO);
    return false;
}

int ReportWriteError(const std::string& why) {
    PrintError(FormatWriteFailed(why));
    return 1;
}

// Asks on the terminal once whether to delete for good; true for "y" or "yes".
bool ConfirmDelete(int files, std::int64_t bytes) {
    const std::string question =
        FormatConfirmDeleteForGood(files, FormatSizeText(static_cast<double>(bytes)));
    platform::WriteStandardText(stderr, question);
    std::fflush(stderr);
    char line[64] = {};
    if (std::fgets(line, sizeof line, stdin) == nullptr) return false;
    std::string answer(line);
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES";
}

// Does the chosen action with every copy but the kept one of each group; writes what was done
// to standard output and the summary (with every file left and why) to standard error. The
// exit status: 0, 1 when a file was left or the output could not be written, 130 when
// stopped.
// With `folders` (may be null), the folders it takes whole in place of the copies.
int RunAction(const CliOptions& options, const ResultsModel& results, TerminalProgress& progress,
              bool outToTerminal, const std::vector<std::string>* folders = nullptr) {
    DuplicateAction action(options.action, &progress);
    action.SetProtectedFolders(options.search.keep.protectedFolders);
    action.SetMoveTarget(options.moveTo, options.search.paths);
    action.SetAnyOwner(options.linkAnyOwner);
    if (!options.keepEmptyFolders) action.SetRemoveEmptiedFolders(options.search.paths);
    // The question names what the plan would remove, as the dry run does.
    const ActionPlan plan = folders != nullptr ? action.PlanFolders(results, *folders)
                                               : action.Plan(results, results.DuplicateRows());
    if (options.action == DuplicateActionKind::kDelete && !options.yes && plan.Goes() > 0 &&
        !ConfirmDelete(plan.Goes(), plan.Bytes()))
        return 1;
    const ActionOutcome outcome = action.Apply(results, plan);
    progress.Clear();
    // What an interrupted run had left, settled before this one.
    const std::string leftovers = LeftoverMessage(action.Leftovers(), 1000);
    for (std::size_t at = 0; at < leftovers.size();) {
        const std::size_t end = std::min(leftovers.find('\n', at), leftovers.size());
        platform::WriteStandardText(stderr, EscapeControls(leftovers.substr(at, end - at)) + "\n");
        at = end + 1;
    }
    std::string why;
    const bool written =
        WriteOutput(FormatActionSteps(outcome.done, options.nul, outToTerminal), &why);
    std::int64_t doneBytes = 0;
    for (const ActionStep& step : outcome.done) doneBytes += step.bytes;
    const std::string done =
        FormatActionDone(ActionVerb(options.action), static_cast<int>(outcome.done.size()),
                         FormatSizeText(static_cast<double>(doneBytes)));
    platform::WriteStandardText(stderr, done + "\n");
    if (!outcome.removedFolders.empty())
        platform::WriteStandardText(
            stderr, FormatFoldersRemoved(static_cast<int>(outcome.removedFolders.size())) + "\n");
    if (outcome.freedKnown && ActionKind(options.action).freesSpace) {
        // Another program may free or fill the same disk meanwhile: the figure is the file
        // systems' own. (The trash and a move keep the bytes on some disk.)
        const std::int64_t freed = outcome.freedBytes > 0 ? outcome.freedBytes : 0;
        platform::WriteStandardText(
            stderr, FormatActionFreed(FormatSizeText(static_cast<double>(freed))) + "\n");
    }
    if (!outcome.refused.empty()) {
        platform::WriteStandardText(
            stderr, FormatActionRefused(static_cast<int>(outcome.refused.size())) + "\n");
        for (const auto& refused : outcome.refused)
            PrintError(refused.first + ": " + refused.second);
    }
    if (!written) return ReportWriteError(why);
    if (outcome.stopped || g_cancel != 0) return 130;
    return outcome.refused.empty() ? 0 : 1;
}

int Report(const CliOptions& options, const ResultsModel& results, TerminalProgress& progress);

// --folders with an action or --dry-run: every folder of a group of identical folders but its
// first, then every folder whose files are all elsewhere (DuplicateFolderRows), each taken
// whole or left whole.
int ActOnFolders(const CliOptions& options, const ResultsModel& results,
                 const FolderFindings& findings, TerminalProgress& progress) {
    // The same choice as the window's 选择重复的文件夹.
    const std::vector<FolderRow> rows = MakeFolderRows(findings);
    const std::vector<std::string> folders = FoldersToTake(rows, DuplicateFolderRows(rows));
    const bool outToTerminal = platform::StdoutIsTerminal();
    if (options.act && !options.dryRun)
        return RunAction(options, results, progress, outToTerminal, &folders);
    PlanSettings settings;
    settings.kind = options.act ? options.action : DuplicateActionKind::kDelete;
    settings.protectedFolders = options.search.keep.protectedFolders;
    settings.moveFolder = options.moveTo;
    settings.startPaths = options.search.paths;
    const ActionPlan plan(results, folders, settings);
    std::string why;
    const bool written = WriteOutput(FormatFolderPlan(plan, options.nul, outToTerminal), &why);
    const std::string size = FormatSizeText(static_cast<double>(plan.Bytes()));
    platform::WriteStandardText(stderr, (options.act ? FormatActionPlan(ActionVerb(options.action),
                                                                        plan.Goes(), size)
                                                     : FormatDryRunSummary(plan.Goes(), size)) +
                                            "\n");
    if (!written) return ReportWriteError(why);
    return g_cancel != 0 ? 130 : 0;
}

// Reads the saved result of --load into `results`, each file checked again; the start paths
// and protected folders it names join the options'. 0, or the exit status of a refusal.
int LoadResults(CliOptions& options, ResultsModel& results, TerminalProgress& progress) {
    std::string text, why;
    SavedSearch saved;
    ReopenCounts counts;
    ReopenParts parts;
    parts.progress = [&progress](double) { return !progress.Cancelled(); };
    if (!ReadWholeFile(options.load, &text, &why) ||
        !ReadResultsDocument(text, &results, &saved, &counts, &why, parts)) {
        if (progress.Cancelled()) return 130;
        PrintError(FormatResultsNotOpened(options.load, why));
        return 2;
    }
    options.search.paths = saved.paths;
    for (const std::string& folder : saved.protect)
        options.search.keep.protectedFolders.push_back(folder);
    if (counts.NotHere() > 0)
        platform::WriteStandardText(stderr, FormatResultsReopened(counts.NotHere()) + "\n");
    return 0;
}

// The name a catalog shows beside its entries: its file's name without the folder and the
// ending.
std::string CatalogNameOf(const std::string& file) {
    std::string name = file.substr(platform::NameStart(file));
    const std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name.empty() ? file : name;
}

// --catalog: walks the PATHs, hashes every file and writes the catalog. 0, 1 when it could not
// be written, 130 when stopped.
int WriteCatalog(const CliOptions& options, FingerprintCache& cache, TerminalProgress& progress) {
    Catalog catalog;
    catalog.name = CatalogNameOf(options.catalog);
    if (!MakeCatalog(options.search, &progress, cache.IsOpen() ? &cache : nullptr, &catalog))
        return 130;
    platform::FileTime now = 0;
    if (platform::SystemTimeToFileTime(platform::GetLocalTime(), &now)) catalog.made = now;
    progress.Clear();
    int error = 0;
    if (!platform::ReplaceFileContents(options.catalog, FormatCatalogDocument(catalog), &error)) {
        PrintError(FormatCatalogNotWritten(options.catalog, platform::ErrorText(error)));
        return 1;
    }
    platform::WriteStandardText(
        stderr, FormatCatalogWritten(options.catalog, static_cast<int>(catalog.files.size())) + "\n");
    if (progress.m_nSkipped > 0)
        platform::WriteStandardText(stderr, FormatUnreadableFiles(progress.m_nSkipped) + "\n");
    return 0;
}

// --against: reads the catalog and lists the files under the PATHs it holds. 0, 2 when the
// catalog cannot be read, 130 when stopped.
int CompareCatalog(const CliOptions& options, FingerprintCache& cache, ResultsModel& results,
                   TerminalProgress& progress) {
    std::string text, why;
    Catalog catalog;
    if (!ReadWholeFile(options.against, &text, &why) ||
        !ReadCatalogDocument(text, &catalog, &why)) {
        PrintError(FormatCatalogNotOpened(options.against, why));
        return 2;
    }
    text = std::string();
    if (!CompareWithCatalog(catalog, options.search, &progress, cache.IsOpen() ? &cache : nullptr,
                            &results))
        return 130;
    int here = 0;
    for (std::size_t row = 0; row < results.RowCount(); ++row)
        here += results.Row(row).StandsHere();
    if (here > 0)
        platform::WriteStandardText(stderr, FormatCatalogGroups(here, catalog.name) + "\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Dates and times are read and written in the user's locale.
    std::setlocale(LC_ALL, "");
    // Messages and --help in the user's language (PAIRSCOUT_LANG forces one).
    UseUserTextLanguage("");
    // Bytes out as they are: CSV rows carry their own CR LF, which text mode would turn into
    // CR CR LF.
    platform::UseBinaryStandardStreams();
    // Names typed outside the code page arrive whole (Windows reads the wide command line).
    const std::vector<std::string> args = platform::CommandLineArguments(argc, argv);
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, &options, &error)) {
        PrintError(error);
        platform::WriteStandardText(stderr, "Try 'pairscout-cli --help'.\n");
        return 2;
    }
    if (options.ansiCodePage) platform::UseAnsiCodePage();
    if (MaskAdmitsNothing(options.search.mask)) PrintError(LoadStringText(IDS_MASK_ONLY_EXCLUDES));
    std::string why;
    if (options.help || options.version) {
        const std::string text = options.help ? CliUsage() : CliVersionText();
        return WriteOutput(text, &why) ? 0 : ReportWriteError(why);
    }

    const std::string cachePath = FingerprintCache::DefaultPath();
    if (options.clearCache) {
        if (!FingerprintCache::Clear(cachePath, &why)) {
            PrintError(FormatCacheNotCleared(cachePath, why));
            return 1;
        }
        platform::WriteStandardText(stderr, FormatCacheCleared(cachePath) + "\n");
        if (options.search.paths.empty()) return 0;
    }

    // A protected folder that is not there protects nothing: a typing slip must not pass.
    // A link to a folder protects the folder.
    for (const std::string& folder : options.search.keep.protectedFolders) {
        platform::FileIdentity identity;
        if (!platform::QueryFolderIdentity(folder, &identity)) {
            PrintError("--protect " + folder + ": no such folder");
            return 2;
        }
    }

    // A script cannot answer the question: deleting for good must be asked for in so many
    // words. Refused before the search, so nothing is read for nothing.
    if (options.act && options.action == DuplicateActionKind::kDelete && !options.yes &&
        !options.dryRun && !platform::StdinIsTerminal()) {
        PrintError(LoadStringText(IDS_CLI_DELETE_NEEDS_YES));
        return 2;
    }

    // Ctrl+C stops the search as the window's Cancel button does.
    platform::CatchInterrupt(OnInterrupt);

    const bool terminal = platform::StderrIsTerminal();
    TerminalProgress progress(stderr, terminal, &g_cancel,
                              terminal ? platform::StderrColumns() : 80);
    progress.m_verbose = options.verbose;
    ResultsModel results;
    if (!options.load.empty()) {
        const int code = LoadResults(options, results, progress);
        if (code != 0) return code;
        return Report(options, results, progress);
    }
    DuplicateSearch search(&progress);
    search.m_readers = options.readers;
    // What earlier searches read; one that cannot be used is named, and the search goes on.
    FingerprintCache cache;
    if (options.cache) {
        OpenSearchCache(cache, cachePath, options.cacheSize, &progress);
        search.m_cache = &cache;
    }
    if (!options.catalog.empty() || !options.against.empty()) {
        const int code = !options.catalog.empty() ? WriteCatalog(options, cache, progress)
                                                   : CompareCatalog(options, cache, results, progress);
        progress.Clear();
        FlushSearchCache(cache, cachePath, &progress);
        if (code != 0 || !options.catalog.empty()) return code;
        return Report(options, results, progress);
    }
    // When the search began: the saved document says so.
    platform::FileTime began = 0;
    if (platform::SystemTimeToFileTime(platform::GetLocalTime(), &began)) results.SetSearchTime(began);
    const DuplicateSearch::Outcome outcome = search.Run(options.search, results);
    progress.Clear();
    FlushSearchCache(cache, cachePath, &progress);
    if (outcome != DuplicateSearch::kFinished) return 130;
    // Stopped while comparing: what follows is the groups found so far, and says so.
    if (search.Partial())
        platform::WriteStandardText(stderr, std::string(LoadStringText(IDS_SEARCH_CANCELLED_PARTIAL)) + "\n");
    if (search.GroupsFromCache() > 0)
        platform::WriteStandardText(stderr, FormatGroupsFromCache(search.GroupsFromCache()) + "\n");

    if (search.StartFoldersOpened() == 0 && g_cancel == 0) {
        // Each start path has had its line; searching nothing is no answer to give.
        PrintError(LoadStringText(IDS_CLI_NO_START_FOLDER_OPENED));
        return 2;
    }
    if (options.folders) {
        const FolderFindings findings =
            FindFolderGroups(results, search.FoldersSeen(), options.ignoreNames);
        if (options.act || options.dryRun) return ActOnFolders(options, results, findings, progress);
        const bool written = WriteOutput(
            FormatFolders(findings, options.nul, platform::StdoutIsTerminal(), options.json), &why);
        if (!written) return ReportWriteError(why);
        return g_cancel != 0 ? 130 : 0;
    }
    return Report(options, results, progress);
}

namespace {

int Report(const CliOptions& options, const ResultsModel& results, TerminalProgress& progress) {
    std::string why;
    // A list meant for a file or a pipe is written as it is; on a terminal, a name must not
    // drive it.
    const bool outToTerminal = platform::StdoutIsTerminal();
    int goFiles = 0;
    std::int64_t goBytes = 0;
    if (options.act && !options.dryRun) {
        std::string found = SummaryText(results.DuplicateCount(), results.DuplicateBytes());
        if (found.empty()) found = LoadStringText(IDS_IDLE_MESSAGE);
        platform::WriteStandardText(stderr, found + "\n");
        const int code = RunAction(options, results, progress, outToTerminal);
        if (progress.m_nSkipped > 0)
            platform::WriteStandardText(stderr, FormatUnreadableFiles(progress.m_nSkipped) + "\n");
        return code;
    }
    SavedSearch saved;
    saved.paths = options.search.paths;
    saved.mask = options.search.mask;
    saved.protect = options.search.keep.protectedFolders;
    const std::string list = options.json ? FormatResultsDocument(results, &saved)
                             : options.dryRun
                                 ? FormatDryRun(results, options.nul, outToTerminal, &goFiles,
                                                &goBytes, options.act ? &options : nullptr)
                                 : FormatResults(results, options.csv, options.nul, outToTerminal);
    const bool written = WriteOutput(list, &why);
    std::string summary = SummaryText(results.DuplicateCount(), results.DuplicateBytes());
    if (summary.empty()) summary = LoadStringText(IDS_IDLE_MESSAGE);
    // The summary in the same encoding as the paths before it.
    platform::WriteStandardText(stderr, summary + "\n");
    if (options.dryRun) {
        const std::string size = FormatSizeText(static_cast<double>(goBytes));
        const std::string plan = options.act
                                     ? FormatActionPlan(ActionVerb(options.action), goFiles, size)
                                     : FormatDryRunSummary(goFiles, size);
        platform::WriteStandardText(stderr, plan + "\n");
    }
    if (progress.m_nSkipped > 0)
        platform::WriteStandardText(stderr, FormatUnreadableFiles(progress.m_nSkipped) + "\n");
    if (!written) return ReportWriteError(why);
    return g_cancel != 0 ? 130 : 0;
}

}  // namespace
