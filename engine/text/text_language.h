// Which language the program's texts are shown in, and switching the string table to it.
//
// Chinese is the original: the texts of engine/text/text_list.h as they stand. English comes from
// the message catalog made from po/en.po (platform::ReadEnglishCatalog finds it).
//
// Plain C++: no wx header, shared by the command line and the window.
#pragma once

#include <string>

enum class TextLanguage { kChinese, kEnglish };

// The language a locale or language name asks for: Chinese for a name starting "zh" ("zh_CN",
// "zh_TW.UTF-8", "zh-Hans"), English for any other name; `fallback` for "".
TextLanguage LanguageOfName(const std::string& name, TextLanguage fallback);

// The language to use: `forced` (PAIRSCOUT_LANG) when it is set, else `chosen` (the window's
// remembered choice, "" when none), else the user's language `userLanguage`; English when all
// three are "".
TextLanguage ChooseTextLanguage(const std::string& forced, const std::string& chosen,
                                const std::string& userLanguage);

// The name a setting stores for `language`: "zh_CN" or "en".
const char* LanguageName(TextLanguage language);

// The string table in `language`. English needs the catalog: false (and the table stays
// Chinese) when it cannot be read, with the reason in *why.
bool UseTextLanguage(TextLanguage language, std::string* why);

// The language the table is in now.
TextLanguage CurrentTextLanguage();

// Chooses with PAIRSCOUT_LANG, `chosen` and the user's language, and switches the table to it.
// Returns the language in use (Chinese when English was chosen but its catalog is missing).
TextLanguage UseUserTextLanguage(const std::string& chosen);
