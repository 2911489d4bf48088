#include "engine/text/validation_message.h"

#include "engine/text/string_table.h"

const char* ValidationMessageText(int stringId) {
    switch (stringId) {
        case IDS_INVALID_MONTH:
        case IDS_INVALID_DAY:
        case IDS_INVALID_YEAR:
        case IDS_INVALID_DATE:
        case IDS_INVALID_FILE_SIZE:
        case IDS_DATE_ORDER: return LoadStringText(stringId);
        default: return "";
    }
}
