// One typed formatter for each format text of engine/text/text_list.h. The format literal reaches
// snprintf as a literal, so the compiler checks every directive against the argument types
// (-Wformat); no format text is ever passed to a printf function as a run-time string.
//
// Plain C++: no wx header. The window converts the result with Utf8ToWx.
#pragma once

#include <cstdint>
#include <string>

// IDS_MEMORY_KB.
std::string FormatMemoryKb(unsigned long kb);
// IDS_FOUND_FILES_IN_FOLDERS.
std::string FormatFoundFilesInFolders(int files, int folders);
// IDS_CONFIRM_DELETE_PATH.
std::string FormatConfirmDeletePath(const std::string& path);
// IDS_DUPLICATES_SUMMARY.
std::string FormatDuplicatesSummary(int duplicates, const std::string& sizeText);
// IDS_SIZE_BYTES, IDS_SIZE_KB, IDS_SIZE_MB, IDS_SIZE_GB: a size already divided to its unit.
std::string FormatSizeBytes(long bytes);
std::string FormatSizeKb(double kb);
std::string FormatSizeMb(double mb);
std::string FormatSizeGb(double gb);
// IDS_CONFIRM_DELETE_FILES.
std::string FormatConfirmDeleteFiles(int files);
// IDS_DUPLICATES_RUNNING.
std::string FormatDuplicatesRunning(int duplicates, std::int64_t bytes);
// IDS_CLI_UNREADABLE_FILES.
std::string FormatUnreadableFiles(int files);
// IDS_CLI_LARGEST_SIZE: the largest size accepted, in bytes, K and M.
std::string FormatLargestSize(std::int64_t bytes, std::int64_t kb, std::int64_t mb);
// IDS_CLI_WRITE_FAILED.
std::string FormatWriteFailed(const std::string& why);
// IDS_DELETE_KEPT_MORE.
std::string FormatDeleteKeptMore(int files);
// IDS_DELETE_COPY_CHANGED_BACK, _TRASH, _GONE: the copy that was to stay changed; `copy` is
// its path.
std::string FormatCopyChangedBack(const std::string& copy);
// A folder chosen whole that stays, with the file that keeps it and why.
std::string FormatFolderStays(const std::string& file, const std::string& why);
std::string FormatFoldersRemoved(int folders);
// The undo command naming its step, what an undo put back, the search that found nothing, and
// one reason of a grouped list of files left.
std::string FormatUndoStep(const std::string& verb, int files);
std::string FormatUndoDone(int files, const std::string& sizeText);
std::string FormatSearchFoundNone(std::int64_t looked, std::int64_t leftOut);
std::string FormatReasonGroup(const std::string& reason, int files);
std::string FormatTiedGroupsQuestion(int groups);
std::string FormatTiedGroupsLeft(int groups);
std::string FormatFolderHolder(int files);
std::string FormatConfirmFolders(const std::string& verb, int folders, int files,
                                 const std::string& size);
std::string FormatFolderCount(int groups, int contained);
std::string FormatFolderNotMade(const std::string& why);
std::string FormatCopyChangedTrash(const std::string& copy);
std::string FormatCopyChangedGone(const std::string& copy);
// IDS_CLI_DRY_RUN_SUMMARY: how many files a run would delete and the size text of their bytes.
std::string FormatDryRunSummary(int files, const std::string& sizeText);
// IDS_SKIPPED_MORE.
std::string FormatSkippedMore(int places);
// IDS_CSV_REPLACE_FILE.
std::string FormatReplaceFile(const std::string& path);
// IDS_DATE_FORMS: one date in the user's short form, in ISO 8601 and in the Chinese form.
std::string FormatDateForms(const std::string& local, const std::string& iso,
                            const std::string& chinese);
// IDS_FILTER_MODIFIED_TODAY.
std::string FormatModifiedToday(const std::string& date);
// IDS_PROPERTIES_SIZE_BYTES.
std::string FormatPropertiesSize(std::uint64_t bytes);
// IDS_ABOUT_TITLE.
std::string FormatAboutTitle(const std::string& version);
// IDS_CANNOT_WRITE_FILE, in the framework's message form: "%1" stands for the path (the first
// "%1" only, as the message has one).
std::string FormatCannotWriteFile(const std::string& path);

// String 2306 "已选择 %d 个文件, 可释放 %s".
std::string FormatSelectionFrees(int files, const std::string& sizeText);
// String 2307 "还有 %d 个文件没有恢复".
std::string FormatUndoKeptMore(int files);
// IDS_ACTION_CANNOT_SHARE: `why` is the system's text.
std::string FormatCannotShare(const std::string& why);
// IDS_ACTION_TARGET_EXISTS.
std::string FormatTargetExists(const std::string& target);
// IDS_ACTION_LEFT_AT: a file an act could not put back under its name, and where it is.
std::string FormatLeftAt(const std::string& where);
// IDS_ACTION_COPY_CHANGED.
std::string FormatReplacedCopyChanged(const std::string& copy);
// IDS_CLI_ACTION_PLAN, IDS_CLI_ACTION_DONE: `verb` is one of IDS_ACTION_VERB_*.
std::string FormatActionPlan(const std::string& verb, int files, const std::string& sizeText);
std::string FormatActionDone(const std::string& verb, int files, const std::string& sizeText);
// IDS_CLI_ACTION_FREED.
std::string FormatActionFreed(const std::string& sizeText);
// IDS_CLI_ACTION_REFUSED.
std::string FormatActionRefused(int files);
// IDS_CLI_CONFIRM_DELETE.
std::string FormatConfirmDeleteForGood(int files, const std::string& sizeText);
// IDS_CONFIRM_HARD_LINK, IDS_CONFIRM_SHARE_DATA: the number of files and their size text;
// IDS_CONFIRM_MOVE_TO also the folder.
std::string FormatConfirmHardLink(int files, const std::string& sizeText);
std::string FormatConfirmShareData(int files, const std::string& sizeText);
std::string FormatConfirmMoveTo(int files, const std::string& sizeText, const std::string& folder);
// IDS_ACTION_LEFT_MORE.
std::string FormatActionLeftMore(int files);
// IDS_MOVE_INTO_PROTECTED.
std::string FormatMoveIntoProtected(const std::string& folder);
// IDS_MENU_UNDO_ACTION: `verb` is one of IDS_ACTION_VERB_*.
std::string FormatUndoAction(const std::string& verb);
// IDS_FIND_NOT_FOUND: the text searched for.
std::string FormatFindNotFound(const std::string& what);
// IDS_OPEN_FAILED, IDS_EXPLORE_FAILED: the file's path.
std::string FormatOpenFailed(const std::string& path);
std::string FormatExploreFailed(const std::string& path);
// IDS_PROGRESS_ELAPSED, IDS_PROGRESS_ELAPSED_LEFT: durations as ProgressEstimate writes them.
std::string FormatElapsed(const std::string& elapsed);
std::string FormatElapsedAndLeft(const std::string& elapsed, const std::string& left);
// IDS_FILES_LOOKED: files looked at of the files to look at, and the size text of the bytes read.
std::string FormatFilesLooked(std::int64_t files, std::int64_t of, const std::string& sizeText);
// IDS_PATH_REFUSED: the typed path and why it cannot be searched.
std::string FormatPathRefused(const std::string& path, const std::string& why);
// IDS_PRINT_PAGE_NUMBER: this page and the number of pages.
std::string FormatPrintPageNumber(int page, int pages);
// IDS_PRINT_SEARCH_DATE: the date and time of the search as the list shows dates.
std::string FormatPrintSearchDate(const std::string& date);
// IDS_LINK_NO_BROWSER, IDS_LINK_NO_MAIL_PROGRAM: the address that could not be opened.
std::string FormatLinkNoBrowser(const std::string& address);
std::string FormatLinkNoMailProgram(const std::string& address);
// IDS_PATH_EDIT_REFUSED: a path changed in place that cannot be searched, and why.
std::string FormatPathEditRefused(const std::string& path, const std::string& why);

// IDS_LEFTOVER_*: what the settling of an interrupted action did with `path`; `name` is the
// name it stood for.
std::string FormatLeftoverPutBack(const std::string& path);
std::string FormatLeftoverSpareRemoved(const std::string& spare, const std::string& name);
std::string FormatLeftoverLeft(const std::string& spare, const std::string& name);
std::string FormatLeftoverCopyRemoved(const std::string& copy);
std::string FormatLeftoverRecordRemoved(const std::string& record);
std::string FormatLeftoverInTrash(const std::string& file, const std::string& name);
std::string FormatLeftoverMore(int count);

// IDS_DISK_*: how one disk of a search is read. `told` and `measured` are the kinds' texts.
std::string FormatDiskDecision(const std::string& disk, const std::string& told,
                               const std::string& measured, int readers);
std::string FormatDiskChosen(const std::string& disk, int readers);
std::string FormatDiskMeasured(const std::string& kind, double milliseconds);
// IDS_CLI_READERS_RANGE: the most readers one may set.
std::string FormatReadersRange(int most);
// Marking and the filter: the groups whose kept row a marking left unselected; the groups shown
// of all; the note that actions keep to the groups shown.
std::string FormatMarkHeldBack(int groups);
std::string FormatFilterCount(int shown, int all);
std::string FormatFilterOn(int shown);
// The cache: how many groups of a search it answered; why it could not be used; emptied or not.
std::string FormatGroupsFromCache(int groups);
std::string FormatCacheUnusable(const std::string& why);
std::string FormatCacheCleared(const std::string& path);
std::string FormatCacheNotCleared(const std::string& path, const std::string& why);

// Saved results and catalogs.
std::string FormatInCatalog(const std::string& path, const std::string& catalog);
std::string FormatResultsNotOpened(const std::string& file, const std::string& why);
std::string FormatResultsNewer(int version, int readable);
std::string FormatResultsDamaged(const std::string& why);
std::string FormatResultsNotSaved(const std::string& file, const std::string& why);
std::string FormatResultsReopened(int files);
std::string FormatCatalogNotOpened(const std::string& file, const std::string& why);
std::string FormatCatalogNotWritten(const std::string& file, const std::string& why);
std::string FormatCatalogWritten(const std::string& file, int files);
std::string FormatCatalogGroups(int files, const std::string& catalog);

// The preview pane, the headline's protected share and the ignore list (ids 3100-3113).
std::string FormatProtectedShare(int files);
std::string FormatPreviewCannotRead(const std::string& why);
std::string FormatPictureSize(int width, int height);
std::string FormatIgnoreDamaged(const std::string& path, const std::string& why);
std::string FormatIgnoreNotSaved(const std::string& path, const std::string& why);
std::string FormatIgnoreLeftOut(int groups);
