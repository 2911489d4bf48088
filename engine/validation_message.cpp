#include "engine/validation_message.h"

#include "engine/engine_strings.h"

const char* ValidationMessageText(int stringId) {
    switch (stringId) {
        case kIdsInvalidMonth:
        case kIdsInvalidDay:
        case kIdsInvalidYear:
        case kIdsInvalidDate:
        case kIdsInvalidFileSize:
        case kIdsDateOrder: return LoadStringText(stringId);
        default: return "";
    }
}
