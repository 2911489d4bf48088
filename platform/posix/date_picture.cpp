// The picture formatter shared by both platforms: only the names of months and days and the
// user's pictures come from the system.
#include <cstdio>

#include "platform/locale_text.h"
#include "platform/posix/locale_names.h"

namespace platform {

namespace {

bool IsRealDate(const SystemTime& st) {
    FileTime ignored;
    SystemTime copy = st;
    copy.wHour = copy.wMinute = copy.wSecond = copy.wMilliseconds = 0;
    return SystemTimeToFileTime(copy, &ignored);
}

int DayOfWeek(const SystemTime& st) {
    FileTime ft = 0;
    SystemTime copy = st;
    copy.wHour = copy.wMinute = copy.wSecond = copy.wMilliseconds = 0;
    SystemTimeToFileTime(copy, &ft);
    return static_cast<int>((ft / kFileTimeTicksPerDay + 1) % 7);
}

void AppendNumber(std::string* out, unsigned value, int minDigits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*u", minDigits, value);
    *out += buf;
}

}  // namespace

bool FormatDate(const SystemTime& st, const std::string& picture, std::string* out) {
    if (!IsRealDate(st)) return false;
    const std::string pic = picture.empty() ? GetShortDatePicture() : picture;
    std::string text;
    std::string::size_type i = 0;
    while (i < pic.size()) {
        const char c = pic[i];
        if (c == '\'') {
            // Quoted text up to the closing quote; '' inside stands for one quote.
            ++i;
            while (i < pic.size()) {
                if (pic[i] == '\'') {
                    if (i + 1 < pic.size() && pic[i + 1] == '\'') {
                        text += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += pic[i++];
            }
            continue;
        }
        if (c != 'd' && c != 'M' && c != 'y') {
            text += c;
            ++i;
            continue;
        }
        std::string::size_type run = 1;
        while (i + run < pic.size() && pic[i + run] == c) ++run;
        i += run;
        if (c == 'd') {
            if (run == 1) AppendNumber(&text, st.wDay, 1);
            else if (run == 2) AppendNumber(&text, st.wDay, 2);
            else text += DayName(DayOfWeek(st), run == 3);
        } else if (c == 'M') {
            if (run == 1) AppendNumber(&text, st.wMonth, 1);
            else if (run == 2) AppendNumber(&text, st.wMonth, 2);
            else text += MonthName(st.wMonth, run == 3);
        } else {
            if (run <= 2) AppendNumber(&text, st.wYear % 100, static_cast<int>(run));
            else AppendNumber(&text, st.wYear, 1);
        }
    }
    *out = text;
    return true;
}

}  // namespace platform
