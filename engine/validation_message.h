// Messages that refuse a user's filter text (a date or a size). The checks return the string
// id; the caller shows the text (the window in a message box, the command line on stderr).
#pragma once

// String ids of the messages, as in the program's string table.
constexpr int kIdsInvalidMonth = 2119;     // "不正确月份"
// A day that the month does not have. (2120, "不正确星期", names the weekday: a refused day
// was reported as a wrong weekday.)
constexpr int kIdsInvalidDay = 2123;       // "不正确日"
constexpr int kIdsInvalidYear = 2121;      // "不正确年份"
constexpr int kIdsInvalidDate = 2122;      // "不正确日期"
constexpr int kIdsInvalidFileSize = 2172;  // "不正确文件大小!"
constexpr int kIdsDateOrder = 2124;        // the earliest date is later than the latest

// The text (UTF-8) of one of the ids above, or an empty text for any other id.
const char* ValidationMessageText(int stringId);
