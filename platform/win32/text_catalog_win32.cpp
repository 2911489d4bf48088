#include "platform/text_catalog.h"

#include "platform/win32/win32.h"

namespace platform {

std::string UserLanguageName() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    const LANGID language = GetUserDefaultUILanguage();
    if (LCIDToLocaleName(MAKELCID(language, SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0) <= 0)
        return std::string();
    std::string text;
    for (const wchar_t* p = name; *p != L'\0'; ++p) text += static_cast<char>(*p & 0x7f);
    return text;
}

bool ReadEnglishCatalog(std::string* bytes, std::string* why) {
    // Built into every program (po/pairscout_en.rc), as wx's own Chinese catalog is.
    HRSRC resource = FindResourceW(nullptr, L"PAIRSCOUT_EN", L"MOFILE");
    HGLOBAL loaded = resource != nullptr ? LoadResource(nullptr, resource) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        *why = "no English message catalog among the program's resources";
        return false;
    }
    bytes->assign(static_cast<const char*>(data), SizeofResource(nullptr, resource));
    return true;
}

}  // namespace platform
