#include "engine/validation_message.h"

#include "engine/engine_strings.h"

namespace {

ValidationMessageHook g_validationHook = nullptr;

}  // namespace

const char* ValidationMessageText(int stringId) {
    switch (stringId) {
        case kIdsInvalidMonth:
        case kIdsInvalidDay:
        case kIdsInvalidYear:
        case kIdsInvalidDate:
        case kIdsInvalidFileSize: return LoadStringText(stringId);
        default: return "";
    }
}

ValidationMessageHook SetValidationMessageHook(ValidationMessageHook hook) {
    ValidationMessageHook previous = g_validationHook;
    g_validationHook = hook;
    return previous;
}

void ReportValidationMessage(int stringId) {
    if (g_validationHook != nullptr) g_validationHook(stringId, ValidationMessageText(stringId));
}
