// Messages that refuse a user's filter text (a date or a size), and the hook that shows them.
// The engine has no window: the GUI installs a hook that puts the text in a message box, the
// command line one that prints it; tests install one that records the string id.
#pragma once

// String ids of the messages, as in the program's string table.
constexpr int kIdsInvalidMonth = 2119;     // "不正确月份"
constexpr int kIdsInvalidDay = 2120;       // "不正确星期"
constexpr int kIdsInvalidYear = 2121;      // "不正确年份"
constexpr int kIdsInvalidDate = 2122;      // "不正确日期"
constexpr int kIdsInvalidFileSize = 2172;  // "不正确文件大小!"

// The text (UTF-8) of one of the ids above, or an empty text for any other id.
const char* ValidationMessageText(int stringId);

// Receives a refusal: its string id and its text (never null).
using ValidationMessageHook = void (*)(int stringId, const char* text);

// Installs (or, with nullptr, removes) the hook; returns the one it replaces. Without a hook a
// refusal is shown nowhere; the refusing function still returns its failure.
ValidationMessageHook SetValidationMessageHook(ValidationMessageHook hook);

// Hands `stringId` and its text to the installed hook, if any.
void ReportValidationMessage(int stringId);
