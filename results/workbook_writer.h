// Export as Excel workbook (command 32800): every row of the results into an .xlsx file, the
// same five columns as the CSV export, but typed as a spreadsheet wants them: paths, CRCs and
// checksums as text, sizes as numbers, dates as date cells; each group on a band of its own
// fill (every other group filled), the heading row frozen and with filters.
//
// Plain code without wx (libxlsxwriter underneath), so that tests write and read workbooks
// without a display. Where the program is built without libxlsxwriter, Available() is false
// and Write() refuses; the window then has no such command.
#pragma once

#include <string>

class ResultsModel;

class WorkbookWriter {
public:
    // The fill of every other group (groups 0, 2, 4, ...), as 0xRRGGBB; the others have none.
    static constexpr unsigned kBandColour = 0xDDEBF7;
    // The number format of the date cells and of the size cells.
    static constexpr const char* kDateFormat = "yyyy-mm-dd hh:mm:ss";
    static constexpr const char* kSizeFormat = "#,##0";

    // `model` must outlive the writer.
    explicit WorkbookWriter(const ResultsModel& model) : m_model(model) {}

    // Whether this build can write workbooks at all.
    static bool Available();

    // Makes the workbook the whole new contents of `path`: written into a temporary file first,
    // then put in place by platform::ReplaceFileContents, so that a failure leaves the old file
    // (or none) under `path`, never a part. False with the reason in *reason (the system's
    // text, or the library's for a workbook it refused to make).
    bool Write(const std::string& path, std::string* reason) const;

private:
    // Writes the workbook straight into the file `path` (created or emptied). False with the
    // reason in *reason.
    bool WriteFile(const std::string& path, std::string* reason) const;

    const ResultsModel& m_model;
};
