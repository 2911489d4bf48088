#include "engine/text/text_format.h"

#include <cstdio>
#include <vector>

#include "engine/text/string_table.h"

// The format comes from the table at run time; its literal is checked at compile time.
#pragma GCC diagnostic ignored "-Wformat-nonliteral"

namespace {

// The texts as constant arrays: snprintf sees a literal and checks it against its arguments.
namespace literal {
#define PAIRSCOUT_TEXT_LITERAL(name, id, text) constexpr char name[] = text;
PAIRSCOUT_TEXTS(PAIRSCOUT_TEXT_LITERAL)
#undef PAIRSCOUT_TEXT_LITERAL
}  // namespace literal

// The text of format `name` of any length, in the language in use: measured first, then
// written. The compiler checks the arguments against the original (the literal, in a call that
// never runs); a translation is only taken when its directives are the original's
// (UseTranslatedTexts), so the same arguments fit it.
#define PAIRSCOUT_FORMAT(name, ...)                                                     \
    [&]() -> std::string {                                                              \
        if (false) std::snprintf(nullptr, 0, literal::name, __VA_ARGS__);              \
        const char* format = LoadStringText(name);                                      \
        const int length = std::snprintf(nullptr, 0, format, __VA_ARGS__);             \
        if (length <= 0) return std::string();                                          \
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);                 \
        std::snprintf(buffer.data(), buffer.size(), format, __VA_ARGS__);               \
        return std::string(buffer.data(), static_cast<std::size_t>(length));            \
    }()

}  // namespace

std::string FormatMemoryKb(unsigned long kb) { return PAIRSCOUT_FORMAT(IDS_MEMORY_KB, kb); }

std::string FormatFoundFilesInFolders(int files, int folders) {
    return PAIRSCOUT_FORMAT(IDS_FOUND_FILES_IN_FOLDERS, files, folders);
}

std::string FormatConfirmDeletePath(const std::string& path) {
    return PAIRSCOUT_FORMAT(IDS_CONFIRM_DELETE_PATH, path.c_str());
}

std::string FormatDuplicatesSummary(int duplicates, const std::string& sizeText) {
    return PAIRSCOUT_FORMAT(IDS_DUPLICATES_SUMMARY, duplicates, sizeText.c_str());
}

std::string FormatSizeBytes(long bytes) { return PAIRSCOUT_FORMAT(IDS_SIZE_BYTES, bytes); }
std::string FormatSizeKb(double kb) { return PAIRSCOUT_FORMAT(IDS_SIZE_KB, kb); }
std::string FormatSizeMb(double mb) { return PAIRSCOUT_FORMAT(IDS_SIZE_MB, mb); }
std::string FormatSizeGb(double gb) { return PAIRSCOUT_FORMAT(IDS_SIZE_GB, gb); }

std::string FormatConfirmDeleteFiles(int files) {
    return PAIRSCOUT_FORMAT(IDS_CONFIRM_DELETE_FILES, files);
}

std::string FormatDuplicatesRunning(int duplicates, std::int64_t bytes) {
    return PAIRSCOUT_FORMAT(IDS_DUPLICATES_RUNNING, duplicates, bytes);
}

std::string FormatUnreadableFiles(int files) {
    return PAIRSCOUT_FORMAT(IDS_CLI_UNREADABLE_FILES, files);
}

std::string FormatLargestSize(std::int64_t bytes, std::int64_t kb, std::int64_t mb) {
    return PAIRSCOUT_FORMAT(IDS_CLI_LARGEST_SIZE, bytes, kb, mb);
}

std::string FormatWriteFailed(const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_CLI_WRITE_FAILED, why.c_str());
}

std::string FormatDeleteKeptMore(int files) {
    return PAIRSCOUT_FORMAT(IDS_DELETE_KEPT_MORE, files);
}

std::string FormatFolderStays(const std::string& file, const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_FOLDER_STAYS, file.c_str(), why.c_str());
}
std::string FormatFolderHolder(int files) { return PAIRSCOUT_FORMAT(IDS_FOLDER_HOLDER, files); }
std::string FormatConfirmFolders(const std::string& verb, int folders, int files,
                                 const std::string& size) {
    return PAIRSCOUT_FORMAT(IDS_CONFIRM_FOLDERS, verb.c_str(), folders, files, size.c_str());
}
std::string FormatFolderCount(int groups, int contained) {
    return PAIRSCOUT_FORMAT(IDS_FOLDER_COUNT, groups, contained);
}
std::string FormatFoldersRemoved(int folders) {
    return PAIRSCOUT_FORMAT(IDS_FOLDERS_REMOVED, folders);
}
std::string FormatUndoStep(const std::string& verb, int files) {
    return PAIRSCOUT_FORMAT(IDS_MENU_UNDO_STEP, verb.c_str(), files);
}
std::string FormatUndoDone(int files, const std::string& sizeText) {
    return PAIRSCOUT_FORMAT(IDS_UNDO_DONE, files, sizeText.c_str());
}
std::string FormatSearchFoundNone(std::int64_t looked, std::int64_t leftOut) {
    return PAIRSCOUT_FORMAT(IDS_SEARCH_FOUND_NONE, static_cast<int>(looked), static_cast<int>(leftOut));
}
std::string FormatReasonGroup(const std::string& reason, int files) {
    return PAIRSCOUT_FORMAT(IDS_REASON_GROUP, reason.c_str(), files);
}
std::string FormatTiedGroupsQuestion(int groups) {
    return PAIRSCOUT_FORMAT(IDS_TIED_GROUPS_QUESTION, groups);
}
std::string FormatTiedGroupsLeft(int groups) { return PAIRSCOUT_FORMAT(IDS_TIED_GROUPS_LEFT, groups); }
std::string FormatFolderNotMade(const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_FOLDER_NOT_MADE, why.c_str());
}
std::string FormatCopyChangedBack(const std::string& copy) {
    return PAIRSCOUT_FORMAT(IDS_DELETE_COPY_CHANGED_BACK, copy.c_str());
}
std::string FormatCopyChangedTrash(const std::string& copy) {
    return PAIRSCOUT_FORMAT(IDS_DELETE_COPY_CHANGED_TRASH, copy.c_str());
}
std::string FormatCopyChangedGone(const std::string& copy) {
    return PAIRSCOUT_FORMAT(IDS_DELETE_COPY_CHANGED_GONE, copy.c_str());
}

std::string FormatDryRunSummary(int files, const std::string& sizeText) {
    return PAIRSCOUT_FORMAT(IDS_CLI_DRY_RUN_SUMMARY, files, sizeText.c_str());
}

std::string FormatSkippedMore(int places) {
    return PAIRSCOUT_FORMAT(IDS_SKIPPED_MORE, places);
}

std::string FormatReplaceFile(const std::string& path) {
    return PAIRSCOUT_FORMAT(IDS_CSV_REPLACE_FILE, path.c_str());
}

std::string FormatDateForms(const std::string& local, const std::string& iso,
                            const std::string& chinese) {
    return PAIRSCOUT_FORMAT(IDS_DATE_FORMS, local.c_str(), iso.c_str(), chinese.c_str());
}

std::string FormatModifiedToday(const std::string& date) {
    return PAIRSCOUT_FORMAT(IDS_FILTER_MODIFIED_TODAY, date.c_str());
}

std::string FormatPropertiesSize(std::uint64_t bytes) {
    return PAIRSCOUT_FORMAT(IDS_PROPERTIES_SIZE_BYTES, bytes);
}

std::string FormatAboutTitle(const std::string& version) {
    return PAIRSCOUT_FORMAT(IDS_ABOUT_TITLE, version.c_str());
}

std::string FormatCannotWriteFile(const std::string& path) {
    std::string text = LoadStringText(IDS_CANNOT_WRITE_FILE);
    const std::string::size_type at = text.find("%1");
    if (at != std::string::npos) text.replace(at, 2, path);
    return text;
}

std::string FormatSelectionFrees(int files, const std::string& sizeText) {
    return PAIRSCOUT_FORMAT(IDS_SELECTION_FREES, files, sizeText.c_str());
}

std::string FormatUndoKeptMore(int files) {
    return PAIRSCOUT_FORMAT(IDS_UNDO_KEPT_MORE, files);
}

std::string FormatCannotShare(const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_ACTION_CANNOT_SHARE, why.c_str());
}

std::string FormatTargetExists(const std::string& target) {
    return PAIRSCOUT_FORMAT(IDS_ACTION_TARGET_EXISTS, target.c_str());
}

std::string FormatLeftAt(const std::string& where) {
    return PAIRSCOUT_FORMAT(IDS_ACTION_LEFT_AT, where.c_str());
}

std::string FormatReplacedCopyChanged(const std::string& copy) {
    return PAIRSCOUT_FORMAT(IDS_ACTION_COPY_CHANGED, copy.c_str());
}

std::string FormatConfirmHardLink(int files, const std::string& sizeText) {
    return PAIRSCOUT_FORMAT(IDS_CONFIRM_HARD_LINK, files, sizeText.c_str());
}

std::string FormatConfirmShareData(int files, const std::string& sizeText) {
    return PAIRSCOUT_FORMAT(IDS_CONFIRM_SHARE_DATA, files, sizeText.c_str());
}

std::string FormatConfirmMoveTo(int files, const std::string& sizeText, const std::string& folder) {
    return PAIRSCOUT_FORMAT(IDS_CONFIRM_MOVE_TO, files, sizeText.c_str(), folder.c_str());
}

std::string FormatActionLeftMore(int files) { return PAIRSCOUT_FORMAT(IDS_ACTION_LEFT_MORE, files); }

std::string FormatMoveIntoProtected(const std::string& folder) {
    return PAIRSCOUT_FORMAT(IDS_MOVE_INTO_PROTECTED, folder.c_str());
}

std::string FormatUndoAction(const std::string& verb) {
    return PAIRSCOUT_FORMAT(IDS_MENU_UNDO_ACTION, verb.c_str());
}

std::string FormatActionPlan(const std::string& verb, int files, const std::string& sizeText) {
    return PAIRSCOUT_FORMAT(IDS_CLI_ACTION_PLAN, verb.c_str(), files, sizeText.c_str());
}

std::string FormatActionDone(const std::string& verb, int files, const std::string& sizeText) {
    return PAIRSCOUT_FORMAT(IDS_CLI_ACTION_DONE, verb.c_str(), files, sizeText.c_str());
}

std::string FormatActionFreed(const std::string& sizeText) {
    return PAIRSCOUT_FORMAT(IDS_CLI_ACTION_FREED, sizeText.c_str());
}

std::string FormatActionRefused(int files) {
    return PAIRSCOUT_FORMAT(IDS_CLI_ACTION_REFUSED, files);
}

std::string FormatConfirmDeleteForGood(int files, const std::string& sizeText) {
    return PAIRSCOUT_FORMAT(IDS_CLI_CONFIRM_DELETE, files, sizeText.c_str());
}

std::string FormatFindNotFound(const std::string& what) {
    return PAIRSCOUT_FORMAT(IDS_FIND_NOT_FOUND, what.c_str());
}

std::string FormatOpenFailed(const std::string& path) {
    return PAIRSCOUT_FORMAT(IDS_OPEN_FAILED, path.c_str());
}

std::string FormatExploreFailed(const std::string& path) {
    return PAIRSCOUT_FORMAT(IDS_EXPLORE_FAILED, path.c_str());
}

std::string FormatElapsed(const std::string& elapsed) {
    return PAIRSCOUT_FORMAT(IDS_PROGRESS_ELAPSED, elapsed.c_str());
}

std::string FormatElapsedAndLeft(const std::string& elapsed, const std::string& left) {
    return PAIRSCOUT_FORMAT(IDS_PROGRESS_ELAPSED_LEFT, elapsed.c_str(), left.c_str());
}

std::string FormatFilesLooked(std::int64_t files, std::int64_t of, const std::string& sizeText) {
    return PAIRSCOUT_FORMAT(IDS_FILES_LOOKED, files, of, sizeText.c_str());
}

std::string FormatPathRefused(const std::string& path, const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_PATH_REFUSED, path.c_str(), why.c_str());
}

std::string FormatPrintPageNumber(int page, int pages) {
    return PAIRSCOUT_FORMAT(IDS_PRINT_PAGE_NUMBER, page, pages);
}

std::string FormatPrintSearchDate(const std::string& date) {
    return PAIRSCOUT_FORMAT(IDS_PRINT_SEARCH_DATE, date.c_str());
}

std::string FormatLinkNoBrowser(const std::string& address) {
    return PAIRSCOUT_FORMAT(IDS_LINK_NO_BROWSER, address.c_str());
}

std::string FormatLinkNoMailProgram(const std::string& address) {
    return PAIRSCOUT_FORMAT(IDS_LINK_NO_MAIL_PROGRAM, address.c_str());
}

std::string FormatPathEditRefused(const std::string& path, const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_PATH_EDIT_REFUSED, path.c_str(), why.c_str());
}

std::string FormatLeftoverPutBack(const std::string& path) {
    return PAIRSCOUT_FORMAT(IDS_LEFTOVER_PUT_BACK, path.c_str());
}

std::string FormatLeftoverSpareRemoved(const std::string& spare, const std::string& name) {
    return PAIRSCOUT_FORMAT(IDS_LEFTOVER_SPARE_REMOVED, spare.c_str(), name.c_str());
}

std::string FormatLeftoverLeft(const std::string& spare, const std::string& name) {
    return PAIRSCOUT_FORMAT(IDS_LEFTOVER_LEFT, spare.c_str(), name.c_str());
}

std::string FormatLeftoverCopyRemoved(const std::string& copy) {
    return PAIRSCOUT_FORMAT(IDS_LEFTOVER_COPY_REMOVED, copy.c_str());
}

std::string FormatLeftoverRecordRemoved(const std::string& record) {
    return PAIRSCOUT_FORMAT(IDS_LEFTOVER_RECORD_REMOVED, record.c_str());
}

std::string FormatLeftoverInTrash(const std::string& file, const std::string& name) {
    return PAIRSCOUT_FORMAT(IDS_LEFTOVER_IN_TRASH, file.c_str(), name.c_str());
}

std::string FormatLeftoverMore(int count) { return PAIRSCOUT_FORMAT(IDS_LEFTOVER_MORE, count); }

std::string FormatDiskDecision(const std::string& disk, const std::string& told,
                               const std::string& measured, int readers) {
    return PAIRSCOUT_FORMAT(IDS_DISK_DECISION, disk.c_str(), told.c_str(), measured.c_str(),
                            readers);
}

std::string FormatDiskChosen(const std::string& disk, int readers) {
    return PAIRSCOUT_FORMAT(IDS_DISK_CHOSEN, disk.c_str(), readers);
}

std::string FormatDiskMeasured(const std::string& kind, double milliseconds) {
    return PAIRSCOUT_FORMAT(IDS_DISK_MEASURED, kind.c_str(), milliseconds);
}

std::string FormatReadersRange(int most) { return PAIRSCOUT_FORMAT(IDS_CLI_READERS_RANGE, most); }

std::string FormatMarkHeldBack(int groups) { return PAIRSCOUT_FORMAT(IDS_MARK_HELD_BACK, groups); }
std::string FormatFilterCount(int shown, int all) {
    return PAIRSCOUT_FORMAT(IDS_FILTER_COUNT, shown, all);
}
std::string FormatFilterOn(int shown) { return PAIRSCOUT_FORMAT(IDS_FILTER_ON, shown); }

std::string FormatGroupsFromCache(int groups) { return PAIRSCOUT_FORMAT(IDS_GROUPS_FROM_CACHE, groups); }

std::string FormatCacheUnusable(const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_CACHE_UNUSABLE, why.c_str());
}

std::string FormatCacheCleared(const std::string& path) {
    return PAIRSCOUT_FORMAT(IDS_CACHE_CLEARED, path.c_str());
}

std::string FormatCacheNotCleared(const std::string& path, const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_CACHE_NOT_CLEARED, path.c_str(), why.c_str());
}

std::string FormatInCatalog(const std::string& path, const std::string& catalog) {
    return PAIRSCOUT_FORMAT(IDS_IN_CATALOG, path.c_str(), catalog.c_str());
}

std::string FormatResultsNotOpened(const std::string& file, const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_RESULTS_NOT_OPENED, file.c_str(), why.c_str());
}

std::string FormatResultsNewer(int version, int readable) {
    return PAIRSCOUT_FORMAT(IDS_RESULTS_NEWER, version, readable);
}

std::string FormatResultsDamaged(const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_RESULTS_DAMAGED, why.c_str());
}

std::string FormatResultsNotSaved(const std::string& file, const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_RESULTS_NOT_SAVED, file.c_str(), why.c_str());
}

std::string FormatResultsReopened(int files) {
    return PAIRSCOUT_FORMAT(IDS_RESULTS_REOPENED, files);
}

std::string FormatCatalogNotOpened(const std::string& file, const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_CATALOG_NOT_OPENED, file.c_str(), why.c_str());
}

std::string FormatCatalogNotWritten(const std::string& file, const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_CATALOG_NOT_WRITTEN, file.c_str(), why.c_str());
}

std::string FormatCatalogWritten(const std::string& file, int files) {
    return PAIRSCOUT_FORMAT(IDS_CATALOG_WRITTEN, file.c_str(), files);
}

std::string FormatCatalogGroups(int files, const std::string& catalog) {
    return PAIRSCOUT_FORMAT(IDS_CATALOG_GROUPS, files, catalog.c_str());
}

std::string FormatProtectedShare(int files) { return PAIRSCOUT_FORMAT(IDS_PROTECTED_SHARE, files); }

std::string FormatPreviewCannotRead(const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_PREVIEW_CANNOT_READ, why.c_str());
}

std::string FormatPictureSize(int width, int height) {
    return PAIRSCOUT_FORMAT(IDS_PREVIEW_PICTURE_SIZE, width, height);
}

std::string FormatIgnoreDamaged(const std::string& path, const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_IGNORE_DAMAGED, path.c_str(), why.c_str());
}

std::string FormatIgnoreNotSaved(const std::string& path, const std::string& why) {
    return PAIRSCOUT_FORMAT(IDS_IGNORE_NOT_SAVED, path.c_str(), why.c_str());
}

std::string FormatIgnoreLeftOut(int groups) { return PAIRSCOUT_FORMAT(IDS_IGNORE_LEFT_OUT, groups); }
