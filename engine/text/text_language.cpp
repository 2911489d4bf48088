#include "engine/text/text_language.h"

#include <cstdlib>

#include "engine/text/message_catalog.h"
#include "engine/text/string_table.h"
#include "platform/text_catalog.h"

TextLanguage LanguageOfName(const std::string& name, TextLanguage fallback) {
    if (name.empty()) return fallback;
    if (name.size() >= 2 && (name[0] == 'z' || name[0] == 'Z') && (name[1] == 'h' || name[1] == 'H'))
        return TextLanguage::kChinese;
    return TextLanguage::kEnglish;
}

TextLanguage ChooseTextLanguage(const std::string& forced, const std::string& chosen,
                                const std::string& userLanguage) {
    if (!forced.empty()) return LanguageOfName(forced, TextLanguage::kEnglish);
    if (!chosen.empty()) return LanguageOfName(chosen, TextLanguage::kEnglish);
    return LanguageOfName(userLanguage, TextLanguage::kEnglish);
}

const char* LanguageName(TextLanguage language) {
    return language == TextLanguage::kChinese ? "zh_CN" : "en";
}

bool UseTextLanguage(TextLanguage language, std::string* why) {
    if (language == TextLanguage::kChinese) {
        UseOriginalTexts();
        return true;
    }
    std::string bytes;
    if (!platform::ReadEnglishCatalog(&bytes, why)) return false;
    MessageCatalog catalog;
    if (!catalog.Parse(bytes, why)) return false;
    UseTranslatedTexts(catalog);
    return true;
}

TextLanguage CurrentTextLanguage() {
    return TranslatedTextsInUse() ? TextLanguage::kEnglish : TextLanguage::kChinese;
}

TextLanguage UseUserTextLanguage(const std::string& chosen) {
    const char* forced = std::getenv("PAIRSCOUT_LANG");
    const TextLanguage wanted = ChooseTextLanguage(forced != nullptr ? forced : "", chosen,
                                                   platform::UserLanguageName());
    std::string why;
    if (!UseTextLanguage(wanted, &why)) UseOriginalTexts();
    return CurrentTextLanguage();
}
