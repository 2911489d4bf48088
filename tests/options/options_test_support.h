// Shared ground of the options suites: dates written in the user's short date picture, and the
// separator-aware paths the tests build.
#pragma once

#include <string>

#include "engine/search/date_value.h"
#include "platform/file_find.h"

namespace optionstest {

// `day`, `month` and `year` written with the user's short date picture (numbers only; the
// year always with four digits), so that the date reader sees exactly these fields.
inline std::string DateText(int day, int month, int year) {
    std::string picture;
    GetDefaultShortDateFormat(picture);
    std::string text;
    for (std::string::size_type i = 0; i < picture.size();) {
        const char c = picture[i];
        std::string::size_type run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        if (c == 'd') text += std::to_string(day);
        else if (c == 'M') text += std::to_string(month);
        else if (c == 'y') text += std::to_string(year);
        else if (c != '\'') text.append(run, c);
        i += run;
    }
    return text;
}

// `text` with every "/" turned into the platform's folder separator.
inline std::string Native(std::string text) {
    for (char& c : text)
        if (c == '/') c = platform::kPathSeparator;
    return text;
}

}  // namespace optionstest
