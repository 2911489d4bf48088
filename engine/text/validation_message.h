// Messages that refuse a user's filter text (a date or a size). The checks return the string
// id (IDS_INVALID_MONTH, IDS_INVALID_DAY, IDS_INVALID_YEAR, IDS_INVALID_DATE,
// IDS_INVALID_FILE_SIZE, IDS_DATE_ORDER); the caller shows the text (the window in a message
// box, the command line on stderr).
#pragma once

#include "engine/text/string_table.h"

// The text (UTF-8) of one of the ids above, or an empty text for any other id.
const char* ValidationMessageText(int stringId);
