// Month and weekday names of the user's locale (internal to the POSIX platform code).
#pragma once

#include <string>

namespace platform {

// `month` 1..12; `abbreviated` selects the short form.
std::string MonthName(int month, bool abbreviated);
// `weekday` 0 = Sunday .. 6 = Saturday.
std::string DayName(int weekday, bool abbreviated);

}  // namespace platform
