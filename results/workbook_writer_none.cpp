// WorkbookWriter where the program is built without libxlsxwriter: no workbooks, and the
// window shows no command for them.
#include "results/workbook_writer.h"

bool WorkbookWriter::Available() { return false; }

bool WorkbookWriter::Write(const std::string&, std::string* reason) const {
    reason->clear();
    return false;
}
