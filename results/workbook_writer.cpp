#include "results/workbook_writer.h"

#include <cerrno>
#include <cstdint>
#include <limits>
#ifndef _WIN32
#include <locale.h>
#endif

#include <xlsxwriter.h>

#include "engine/results/results_model.h"
#include "engine/results/results_text.h"
#include "engine/store/saved_results.h"
#include "engine/text/string_table.h"
#include "engine/text/text_helpers.h"
#include "platform/error_text.h"
#include "platform/file_replace.h"
#include "platform/file_time.h"
#include "platform/temp_file.h"

namespace {

// Column widths in characters: the path takes most; the others fit their widest text.
constexpr double kColumnWidths[kResultColumnCount] = {70, 20, 16, 10, 10};

// The formats of one band: text, number, date.
struct BandFormats {
    lxw_format* text = nullptr;
    lxw_format* size = nullptr;
    lxw_format* date = nullptr;
};

BandFormats MakeBand(lxw_workbook* workbook, bool filled) {
    BandFormats band;
    band.text = workbook_add_format(workbook);
    band.size = workbook_add_format(workbook);
    format_set_num_format(band.size, WorkbookWriter::kSizeFormat);
    band.date = workbook_add_format(workbook);
    format_set_num_format(band.date, WorkbookWriter::kDateFormat);
    format_set_align(band.date, LXW_ALIGN_LEFT);
    if (filled) {
        for (lxw_format* format : {band.text, band.size, band.date}) {
            format_set_pattern(format, LXW_PATTERN_SOLID);
            format_set_bg_color(format, WorkbookWriter::kBandColour);
        }
    }
    return band;
}

// The system's reason for the last failure, or the library's words for `error` when the
// system has none.
std::string Reason(lxw_error error, int systemError) {
    if (systemError != 0) return platform::ErrorText(systemError);
    return lxw_strerror(error);
}

#ifndef _WIN32
// The library writes its numbers (sizes, dates) with the C library's printf, which follows the
// locale the window sets: a German one would write "44730,5" into the workbook, which no
// spreadsheet opens. While it lives, this thread formats numbers as the C locale does; the
// other categories (the date texts) stay the user's. The Windows build has the library's
// own number writer, which needs none of this.
class CNumbersLocale {
public:
    CNumbersLocale() {
        locale_t base = duplocale(uselocale(static_cast<locale_t>(0)));
        if (base == static_cast<locale_t>(0)) return;
        m_numbers = newlocale(LC_NUMERIC_MASK, "C", base);
        if (m_numbers == static_cast<locale_t>(0)) {
            freelocale(base);
            return;
        }
        m_old = uselocale(m_numbers);
    }
    ~CNumbersLocale() {
        if (m_numbers == static_cast<locale_t>(0)) return;
        uselocale(m_old);
        freelocale(m_numbers);
    }
    CNumbersLocale(const CNumbersLocale&) = delete;
    CNumbersLocale& operator=(const CNumbersLocale&) = delete;

private:
    locale_t m_numbers = static_cast<locale_t>(0);
    locale_t m_old = static_cast<locale_t>(0);
};
#else
struct CNumbersLocale {
    CNumbersLocale() {}
};
#endif

}  // namespace

bool WorkbookWriter::Available() { return true; }

bool WorkbookWriter::WriteFile(const std::string& path, std::string* reason) const {
    const CNumbersLocale numbers;
    // The library keeps each part in a temporary file until it packs them: in the user's
    // temporary folder (Windows would otherwise use the root of the system drive). Constant
    // memory: the rows go out in order, so a search of 300 000 rows is not held twice. The
    // library opens its files with the C library's narrow calls (on Windows in the ANSI code
    // page, not UTF-8): it is given the paths in that form.
    std::string tmpdir = platform::NarrowFilePath(platform::TempFolder());
    const std::string file = platform::NarrowFilePath(path);
    if (file.empty()) {
        *reason = path + "\n" + platform::ErrorText(platform::LastErrorCode());
        return false;
    }
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmpdir.empty() ? nullptr : &tmpdir[0];
    options.use_zip64 = LXW_FALSE;  // not needed below 4 GB, and older readers warn of it
    errno = 0;
    lxw_workbook* workbook = workbook_new_opt(file.c_str(), &options);
    if (workbook == nullptr) {
        *reason = Reason(LXW_ERROR_MEMORY_MALLOC_FAILED, errno);
        return false;
    }
    lxw_worksheet* sheet =
        workbook_add_worksheet(workbook, ValidUtf8(LoadStringText(IDS_XLSX_SHEET_NAME)).c_str());
    lxw_format* heading = workbook_add_format(workbook);
    format_set_bold(heading);
    format_set_bottom(heading, LXW_BORDER_THIN);
    const BandFormats bands[2] = {MakeBand(workbook, true), MakeBand(workbook, false)};

    // Row 0 is the heading; the rows follow from 1. The library refuses rows past the sheet's
    // last (1 048 576 in all): the first refusal ends the export with its reason.
    lxw_error error = LXW_NO_ERROR;
    for (lxw_col_t column = 0; column < kResultColumnCount; ++column)
        worksheet_set_column(sheet, column, column, kColumnWidths[column], nullptr);
    for (int column = 0; column < kResultColumnCount && error == LXW_NO_ERROR; ++column)
        error = worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(column),
                                       ValidUtf8(LoadStringText(IDS_COLUMN_NAME + column)).c_str(),
                                       heading);
    const std::size_t rows = m_model.RowCount();
    if (error == LXW_NO_ERROR && rows >= LXW_ROW_MAX)
        error = LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
    for (std::size_t row = 0; row < rows && error == LXW_NO_ERROR; ++row) {
        const lxw_row_t at = static_cast<lxw_row_t>(row + 1);
        const BandFormats& band = bands[m_model.GroupOf(row) % 2];
        const ResultRow& r = m_model.Row(row);
        const CFileRecord& record = *r.record;
        for (int column = 0; column < kResultColumnCount && error == LXW_NO_ERROR; ++column) {
            const lxw_col_t col = static_cast<lxw_col_t>(column);
            // The cells the list leaves empty stay empty, but keep the band's fill.
            const std::string text = ValidUtf8(CellText(m_model, row, column));
            if (text.empty()) {
                error = worksheet_write_blank(sheet, at, col, band.text);
                continue;
            }
            if (column == kColumnSize) {
                error = worksheet_write_number(sheet, at, col,
                                               static_cast<double>(record.m_nSize), band.size);
                continue;
            }
            platform::SystemTime time;
            // A spreadsheet's dates begin in 1900: an older one is written as the text shown.
            if (column == kColumnTime &&
                platform::FileTimeToSystemTime(record.m_ftWritten, &time) && time.wYear >= 1900 &&
                time.wYear <= 9999) {
                lxw_datetime date = {time.wYear, time.wMonth, time.wDay, time.wHour,
                                     time.wMinute, static_cast<double>(time.wSecond)};
                error = worksheet_write_datetime(sheet, at, col, &date, band.date);
                continue;
            }
            error = worksheet_write_string(sheet, at, col, text.c_str(), band.text);
        }
    }
    if (error == LXW_NO_ERROR) {
        worksheet_freeze_panes(sheet, 1, 0);
        const lxw_row_t last = static_cast<lxw_row_t>(rows);
        error = worksheet_autofilter(sheet, 0, 0, last, kResultColumnCount - 1);
    }
    errno = 0;
    // Closing writes the file; it also frees the workbook after a refused cell.
    const lxw_error closed = workbook_close(workbook);
    const int systemError = errno;
    if (error != LXW_NO_ERROR) {
        *reason = Reason(error, 0);
        return false;
    }
    if (closed != LXW_NO_ERROR) {
        *reason = Reason(closed, systemError);
        return false;
    }
    return true;
}

bool WorkbookWriter::Write(const std::string& path, std::string* reason) const {
    const std::string temp = platform::CreateTempFile("psx");
    if (temp.empty()) {
        *reason = platform::ErrorText(platform::LastErrorCode());
        return false;
    }
    std::string bytes;
    bool done = WriteFile(temp, reason) &&
                ReadWholeFile(temp, &bytes, reason, std::numeric_limits<std::int64_t>::max());
    platform::RemoveTempFile(temp);
    if (!done) return false;
    int error = 0;
    if (!platform::ReplaceFileContents(path, bytes, &error)) {
        *reason = platform::ErrorText(error);
        return false;
    }
    return true;
}
