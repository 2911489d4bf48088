#include "engine/validation_message.h"

namespace {

ValidationMessageHook g_validationHook = nullptr;

}  // namespace

const char* ValidationMessageText(int stringId) {
    switch (stringId) {
        case kIdsInvalidMonth: return "不正确月份";
        case kIdsInvalidDay: return "不正确星期";
        case kIdsInvalidYear: return "不正确年份";
        case kIdsInvalidDate: return "不正确日期";
        case kIdsInvalidFileSize: return "不正确文件大小!";
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
