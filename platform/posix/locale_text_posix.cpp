#include <langinfo.h>

#include <cctype>
#include <ctime>

#include "platform/locale_text.h"
#include "platform/posix/locale_names.h"

namespace platform {

namespace {

// Appends literal text to a picture, quoted when it holds letters or quotes so that the
// picture syntax does not read them as fields.
void AppendLiteral(std::string* picture, const std::string& text) {
    if (text.empty()) return;
    bool needsQuotes = false;
    for (unsigned char c : text)
        if (std::isalpha(c) || c == '\'') needsQuotes = true;
    if (!needsQuotes) {
        *picture += text;
        return;
    }
    *picture += '\'';
    for (char c : text) {
        if (c == '\'') *picture += '\'';
        *picture += c;
    }
    *picture += '\'';
}

// Turns a strftime date format into the d/M/y picture syntax.
std::string PictureFromStrftime(const std::string& fmt, int depth = 0) {
    std::string picture, literal;
    for (std::string::size_type i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != '%' || i + 1 >= fmt.size()) {
            literal += fmt[i];
            continue;
        }
        char conv = fmt[++i];
        bool unpadded = false;
        // glibc flags and the E/O modifiers change only padding or the numeral system.
        while ((conv == '-' || conv == '_' || conv == '0' || conv == '^' || conv == '#' ||
                conv == 'E' || conv == 'O') &&
               i + 1 < fmt.size()) {
            if (conv == '-') unpadded = true;
            conv = fmt[++i];
        }
        std::string field;
        switch (conv) {
            case 'd': field = unpadded ? "d" : "dd"; break;
            case 'e': field = "d"; break;
            case 'm': field = unpadded ? "M" : "MM"; break;
            case 'y': field = "yy"; break;
            case 'Y': field = "yyyy"; break;
            case 'b':
            case 'h': field = "MMM"; break;
            case 'B': field = "MMMM"; break;
            case 'a': field = "ddd"; break;
            case 'A': field = "dddd"; break;
            case 'D':
                if (depth < 2) field = PictureFromStrftime("%m/%d/%y", depth + 1);
                break;
            case 'F':
                if (depth < 2) field = PictureFromStrftime("%Y-%m-%d", depth + 1);
                break;
            case 'x':
                if (depth < 2) field = PictureFromStrftime(nl_langinfo(D_FMT), depth + 1);
                break;
            case '%': literal += '%'; continue;
            case 'n': literal += '\n'; continue;
            case 't': literal += '\t'; continue;
            default: continue;  // no date field of ours: left out
        }
        AppendLiteral(&picture, literal);
        literal.clear();
        picture += field;
    }
    AppendLiteral(&picture, literal);
    return picture;
}

}  // namespace

unsigned char CharUpperByte(unsigned char b) {
    return (b >= 'a' && b <= 'z') ? static_cast<unsigned char>(b - 'a' + 'A') : b;
}

bool IsLeadByte(unsigned char) { return false; }

std::string GetShortDatePicture() {
    std::string picture = PictureFromStrftime(nl_langinfo(D_FMT));
    return picture.empty() ? std::string("MM/dd/yy") : picture;
}

std::string MonthName(int month, bool abbreviated) {
    static const nl_item kFull[] = {MON_1, MON_2, MON_3, MON_4,  MON_5,  MON_6,
                                    MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
    static const nl_item kShort[] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,  ABMON_5,  ABMON_6,
                                     ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    if (month < 1 || month > 12) return std::string();
    return nl_langinfo(abbreviated ? kShort[month - 1] : kFull[month - 1]);
}

std::string DayName(int weekday, bool abbreviated) {
    static const nl_item kFull[] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
    static const nl_item kShort[] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4,
                                     ABDAY_5, ABDAY_6, ABDAY_7};
    if (weekday < 0 || weekday > 6) return std::string();
    return nl_langinfo(abbreviated ? kShort[weekday] : kFull[weekday]);
}

bool FormatTime(const SystemTime& st, std::string* out) {
    if (st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59) return false;
    struct tm parts = {};
    parts.tm_hour = st.wHour;
    parts.tm_min = st.wMinute;
    parts.tm_sec = st.wSecond;
    parts.tm_year = st.wYear - 1900;
    parts.tm_mon = st.wMonth > 0 ? st.wMonth - 1 : 0;
    parts.tm_mday = st.wDay > 0 ? st.wDay : 1;
    parts.tm_isdst = -1;
    const char* fmt = nl_langinfo(T_FMT);
    if (fmt == nullptr || *fmt == '\0') fmt = "%H:%M:%S";
    char buf[128];
    const size_t n = strftime(buf, sizeof buf, fmt, &parts);
    if (n == 0) return false;
    out->assign(buf, n);
    return true;
}

}  // namespace platform
