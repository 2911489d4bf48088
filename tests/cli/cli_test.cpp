#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "cli/cli_options.h"
#include "cli/report_writer.h"
#include "engine/store/json_text.h"
#include "cli/terminal_progress.h"
#include "engine/search/date_value.h"
#include "engine/search/duplicate_search.h"
#include "engine/results/keep_rule_names.h"
#include "engine/results/keep_settings.h"
#include "engine/text/size_text.h"
#include "engine/text/validation_message.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "support/platform_rules.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"
#include "support/version_resource.h"
#include "support/windows_name_tree.h"

namespace {

bool Parse(const std::vector<std::string>& args, CliOptions* options, std::string* error) {
    *options = CliOptions();
    error->clear();
    return ParseCliOptions(args, options, error);
}

TEST(CliOptions, PathsMasksFiltersAndRefusals) {
    ScopedLocale locale("C");
    CliOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"a", "--mask", "*.txt;~x*", "b;c", "--csv"}, &o, &error)) << error;
    // "b;c" names nothing on disk: a typed list.
    EXPECT_EQ(o.search.paths, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(o.search.mask, "*.txt;~x*");
    EXPECT_TRUE(o.csv);
    EXPECT_EQ(o.search.filter.m_dwIgnoreAttrs, 0x37u);

    ASSERT_TRUE(Parse({"--min-size=2K", "--max-size", "1M", "--hidden=yes", "--readonly=no",
                       "--reverse", "--", "--odd-name"},
                      &o, &error))
        << error;
    EXPECT_EQ(o.search.filter.m_nMinSize, 2048);
    EXPECT_EQ(o.search.filter.m_nMaxSize, 1048576);
    EXPECT_EQ(o.search.filter.m_dwIgnoreAttrs, 0x37u & ~0x03u);
    EXPECT_EQ(o.search.filter.m_dwAttrStates, 0x02u);
    EXPECT_EQ(o.search.filter.m_nMode, 1);
    EXPECT_EQ(o.search.paths, std::vector<std::string>{"--odd-name"});

    // The maximum date is the end of its day.
    ASSERT_TRUE(Parse({"--min-date", "04/09/03", "--max-date", "04/09/03", "x"}, &o, &error));
    EXPECT_EQ(o.search.filter.m_ftMaxDate - o.search.filter.m_ftMinDate,
              (24 * 3600 - 1) * platform::kFileTimeTicksPerSecond);
    ASSERT_TRUE(Parse({"--min-date=%%TODAY-7", "x"}, &o, &error)) << error;
    EXPECT_NE(o.search.filter.m_ftMinDate, 0);

    // Bad input gives the options sheet's own messages (a bad size also names the largest).
    EXPECT_FALSE(Parse({"--min-size", "12Q", "x"}, &o, &error));
    EXPECT_EQ(error.find(LoadStringText(IDS_INVALID_FILE_SIZE)), 0u) << error;
    // A smallest size above the largest is named as such, not as a bad size.
    EXPECT_FALSE(Parse({"--min-size", "2M", "--max-size", "1M", "x"}, &o, &error));
    EXPECT_EQ(error, LoadStringText(IDS_SIZE_ORDER));
    EXPECT_TRUE(Parse({"--min-size", "1M", "--max-size", "1M", "x"}, &o, &error)) << error;
    // An empty value is refused for every option that takes one, naming the option, in both
    // forms: for a size it once meant no limit while an empty date was refused.
    for (const char* name : {"min-size", "max-size", "min-date", "max-date", "mask", "keep",
                             "protect", "order", "link", "move-to", "readonly", "hidden",
                             "system", "directory", "archive", "readers"}) {
        const std::string option = std::string("--") + name;
        const std::string expected = option + ": " + LoadStringText(IDS_CLI_EMPTY_VALUE);
        EXPECT_FALSE(Parse({option, "", "x"}, &o, &error)) << option;
        EXPECT_EQ(error, expected);
        EXPECT_FALSE(Parse({option + "=", "x"}, &o, &error)) << option;
        EXPECT_EQ(error, expected);
    }
    // Month first: the C locale here, en-US on Windows (whose user's locale decides).
    if (!kWindows || UserLocaleIsEnUs()) {
        EXPECT_FALSE(Parse({"--min-date", "13/01/03", "x"}, &o, &error));
        EXPECT_EQ(error, DateRefusalText(IDS_INVALID_MONTH, ": "));
    }
    EXPECT_FALSE(Parse({"--max-date", "junk", "x"}, &o, &error));
    EXPECT_EQ(error, DateRefusalText(IDS_INVALID_DATE, ": "));
    // Readers: 1 to 64, digits only.
    ASSERT_TRUE(Parse({"--readers", "64", "-v", "x"}, &o, &error)) << error;
    EXPECT_EQ(o.readers, 64);
    EXPECT_TRUE(o.verbose);
    for (const char* bad : {"0", "65", "-1", "+2", "4x", "1000000000000"}) {
        EXPECT_FALSE(Parse({"--readers", bad, "x"}, &o, &error)) << bad;
        EXPECT_EQ(error, FormatReadersRange(64)) << bad;
    }
    EXPECT_FALSE(Parse({"--hidden=maybe", "x"}, &o, &error));
    EXPECT_FALSE(Parse({"--bogus", "x"}, &o, &error));
    EXPECT_FALSE(Parse({"--mask"}, &o, &error));
    EXPECT_FALSE(Parse({}, &o, &error));
    EXPECT_TRUE(Parse({"--help"}, &o, &error));
    EXPECT_TRUE(o.help);
}

TEST(CliOptions, VersionNeedsNoPath) {
    CliOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--version"}, &o, &error)) << error;
    EXPECT_TRUE(o.version);
    EXPECT_FALSE(o.help);
    // Only the whole word: a prefix is an unknown option, not a request for the version.
    EXPECT_FALSE(Parse({"--vers"}, &o, &error));
    EXPECT_FALSE(Parse({"-V"}, &o, &error));
    EXPECT_NE(CliUsage().find("--version"), std::string::npos);
}

// Sizes are read strictly and the refusal names the largest; dates also as ISO 8601, and a
// year that is negative or leaves the range is refused.
TEST(CliOptions, StrictSizesAndDates) {
    ScopedLocale locale("C");
    CliOptions o;
    std::string error;
    for (const char* bad : {"10KB", "10Kxyz", "-2K", "-1", "2048M", "2097152K", "2147483648",
                            "99999999999999999999", " 10", "1.5M"}) {
        EXPECT_FALSE(Parse({"--max-size", bad, "x"}, &o, &error)) << bad;
        EXPECT_EQ(error.find(LoadStringText(IDS_INVALID_FILE_SIZE)), 0u) << bad;
        for (const char* largest : {"2147483647", "2097151K", "2047M"})
            EXPECT_NE(error.find(largest), std::string::npos) << error;
    }
    ASSERT_TRUE(Parse({"--min-size", "2047M", "--max-size=2097151K", "x"}, &o, &error)) << error;
    EXPECT_EQ(o.search.filter.m_nMinSize, 2047LL * 1048576);
    EXPECT_EQ(o.search.filter.m_nMaxSize, 2097151LL * 1024);

    ASSERT_TRUE(Parse({"--min-date", "2024-05-31", "--max-date=2024-05-31", "x"}, &o, &error))
        << error;
    CDateValue expected;
    ASSERT_EQ(expected.CheckDate("05/31/24", "MM/dd/yy"), 0);
    EXPECT_EQ(o.search.filter.m_ftMinDate, expected.ToFileTime(1));
    EXPECT_EQ(o.search.filter.m_ftMaxDate - o.search.filter.m_ftMinDate,
              (24 * 3600 - 1) * platform::kFileTimeTicksPerSecond);
    EXPECT_FALSE(Parse({"--min-date", "2024-02-30", "x"}, &o, &error));
    EXPECT_EQ(error, DateRefusalText(IDS_INVALID_DAY, ": "));
    std::vector<const char*> badYears = {"%%today+2147483647", "%%today-999999", "1600-12-31",
                                         "30828-01-01", "30840-01-01", "30848-12-31"};
    // Month first: the C locale here, en-US on Windows (whose user's locale decides).
    if (!kWindows || UserLocaleIsEnUs()) badYears.insert(badYears.end(), {"01/01/-1", "01/01/-2024"});
    for (const char* badYear : badYears) {
        EXPECT_FALSE(Parse({"--max-date", badYear, "x"}, &o, &error)) << badYear;
        EXPECT_EQ(error, DateRefusalText(IDS_INVALID_YEAR, ": ")) << badYear;
    }
    // Far ahead but in range: a date some 270 years on, not one of this century.
    ASSERT_TRUE(Parse({"--min-date", "%%today+99999", "x"}, &o, &error)) << error;
    CDateValue later;
    ASSERT_EQ(later.CheckDate("01/01/2250", "MM/dd/yyyy"), 0);
    EXPECT_GT(o.search.filter.m_ftMinDate, later.ToFileTime(1));
}

TEST(CliOptions, NullOutputAndStartPathLists) {
    CliOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"-0", "x"}, &o, &error)) << error;
    EXPECT_TRUE(o.nul);
    ASSERT_TRUE(Parse({"--null", "x"}, &o, &error)) << error;
    EXPECT_TRUE(o.nul);
    EXPECT_FALSE(Parse({"--null", "--csv", "x"}, &o, &error));
    EXPECT_NE(error.find("--csv"), std::string::npos);

    // Each argument is one path exactly as typed; one holding ";" that names nothing on disk
    // is a list, which loses the blanks around its elements and its empty elements.
    using Paths = std::vector<std::string>;
    EXPECT_EQ(StartPathList({"A; B ;"}), (Paths{"A", "B"}));
    EXPECT_EQ(StartPathList({" A ", " B"}), (Paths{" A ", " B"}));
    EXPECT_EQ(StartPathList({";;\tA\t;"}), Paths{"A"});
    EXPECT_EQ(StartPathList({"a b"}), Paths{"a b"});
    EXPECT_EQ(StartPathList({"; ;"}), Paths{});
    EXPECT_EQ(StartPathList({"", ""}), Paths{});
    ASSERT_TRUE(Parse({"A; B ;", "C"}, &o, &error)) << error;
    EXPECT_EQ(o.search.paths, (Paths{"A", "B", "C"}));
    // A name holding ";" that exists is one path, whatever blanks it holds.
    TempDir dir;
    dir.WriteFile("x; y/f", "f");
    const std::string semi = dir / "x; y";
    EXPECT_EQ(StartPathList({semi, "z"}), (Paths{semi, "z"}));
    for (const std::vector<std::string>& none :
         {std::vector<std::string>{""}, std::vector<std::string>{"; ;"},
          std::vector<std::string>{"", ";"}}) {
        EXPECT_FALSE(Parse(none, &o, &error));
        EXPECT_EQ(error, LoadStringText(IDS_CLI_NO_START_PATH));
    }
}

TEST(CliOptions, KeepRulesProtectAndOrder) {
    CliOptions options;
    std::string error;
    // The default: no copy marks, then the oldest; groups by the bytes they free.
    ASSERT_TRUE(Parse({"/x"}, &options, &error)) << error;
    ASSERT_EQ(options.search.keep.rules.size(), 3u);
    EXPECT_EQ(options.search.keep.rules[1].kind, kKeptNoCopyMark);
    EXPECT_EQ(options.search.keep.rules[2].kind, kKeptOldest);
    EXPECT_EQ(options.search.keep.order, GroupOrder::kFreedBytes);
    EXPECT_FALSE(options.dryRun);

    // Consecutive path: rules make one list; a later --keep adds to the first.
    ASSERT_TRUE(Parse({"--keep", "path:/a,path:/b,newest", "--keep=mask:*.jpg;~x*,path:/c",
                       "--protect", "/r1", "--protect=/r2", "--order", "found", "--dry-run",
                       "--only-protected", "/x"},
                      &options, &error))
        << error;
    const std::vector<KeepRule>& rules = options.search.keep.rules;
    ASSERT_EQ(rules.size(), 4u);
    EXPECT_EQ(rules[0].kind, kKeptFolder);
    EXPECT_EQ(rules[0].folders, (std::vector<std::string>{"/a", "/b"}));
    EXPECT_EQ(rules[1].kind, kKeptNewest);
    EXPECT_EQ(rules[2].kind, kKeptMask);
    EXPECT_EQ(rules[2].mask, "*.jpg;~x*");
    EXPECT_EQ(rules[3].folders, (std::vector<std::string>{"/c"}));
    EXPECT_EQ(options.search.keep.protectedFolders, (std::vector<std::string>{"/r1", "/r2"}));
    EXPECT_EQ(options.search.keep.order, GroupOrder::kAsFound);
    EXPECT_TRUE(options.search.keep.onlyGroupsWithProtected);
    EXPECT_TRUE(options.dryRun);
    ASSERT_TRUE(Parse({"--keep", "none", "/x"}, &options, &error));
    EXPECT_TRUE(options.search.keep.rules.empty());
    ASSERT_TRUE(Parse({"--keep", "shortest,longest,oldest,nocopymark", "/x"}, &options, &error));
    EXPECT_EQ(options.search.keep.rules.size(), 4u);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--keep", "biggest", "/x"},
             {"--keep", "oldest,,newest", "/x"},
             {"--keep", "", "/x"},
             {"--keep", "path:", "/x"},
             {"--keep", "mask:", "/x"},
             {"--keep"},
             {"--protect", "", "/x"},
             {"--order", "size", "/x"},
             {"--only-protected", "/x"},
             {"--dry-run", "--csv", "/x"}}) {
        EXPECT_FALSE(Parse(bad, &options, &error)) << bad[0] << " " << (bad.size() > 1 ? bad[1] : "");
        EXPECT_FALSE(error.empty());
    }
    EXPECT_STREQ(KeepReasonName(kKeptFolder), "path");
    EXPECT_STREQ(KeepReasonName(kKeptAsFound), "found");
    EXPECT_STREQ(KeepReasonName(kKeptNoCopyMark), "nocopymark");
}

// Every keep rule is named once, in one table, for the settings, the command line, the dry
// run's reason, the sheet and the list: each name reads back as its rule, the names of one
// vocabulary never collide, and the settings texts older versions wrote still read.
TEST(KeepRuleNames, EveryRuleRoundTripsThroughEachVocabulary) {
    ASSERT_EQ(KeepRuleNameCount(), 7u);
    ASSERT_EQ(static_cast<std::size_t>(KeepRuleNamesEnd() - KeepRuleNamesBegin()), 7u);
    std::vector<KeepReason> kinds;
    std::set<std::string> settingsWords, commandWords, reasonWords, sheetTexts, reasonTexts;
    const std::string usage = LoadStringText(IDS_CLI_USAGE);
    for (const KeepRuleName* rule = KeepRuleNamesBegin(); rule != KeepRuleNamesEnd(); ++rule) {
        SCOPED_TRACE(rule->settingsWord);
        kinds.push_back(rule->kind);
        EXPECT_EQ(FindKeepRule(rule->kind), rule);
        settingsWords.insert(rule->settingsWord);
        commandWords.insert(rule->commandWord);
        reasonWords.insert(rule->reasonWord);
        sheetTexts.insert(LoadStringText(rule->sheetText));
        reasonTexts.insert(LoadStringText(rule->reasonText));

        // Settings: written with the settings word, read back on or off; the command line's
        // word reads as the same rule.
        KeepSettings settings = KeepSettings::Defaults();
        const auto at = std::find_if(settings.rules.begin(), settings.rules.end(),
                                     [&](const KeepRuleEntry& e) { return e.kind == rule->kind; });
        ASSERT_NE(at, settings.rules.end());
        std::rotate(settings.rules.begin(), at, at + 1);
        settings.rules.front().enabled = !settings.rules.front().enabled;
        const std::string text = settings.RulesText();
        EXPECT_EQ(text.substr(0, text.find(',')),
                  (settings.rules.front().enabled ? "" : "-") + std::string(rule->settingsWord));
        KeepSettings read;
        ASSERT_TRUE(read.SetRulesText(text)) << text;
        EXPECT_EQ(read.rules, settings.rules) << text;
        ASSERT_TRUE(read.SetRulesText(std::string("-") + rule->commandWord));
        EXPECT_EQ(read.rules.front().kind, rule->kind);
        EXPECT_FALSE(read.rules.front().enabled);
        EXPECT_EQ(FindKeepRuleBySettingsWord(rule->settingsWord), rule);

        // Command line: the word, with a value exactly when the rule takes one.
        const std::string word = rule->commandWord;
        std::vector<KeepRule> rules;
        std::string error;
        ASSERT_TRUE(ParseKeepRules(rule->takesValue ? word + ":v" : word, &rules, &error)) << error;
        ASSERT_EQ(rules.size(), 1u);
        EXPECT_EQ(rules[0].kind, rule->kind);
        if (rule->kind == kKeptFolder) {
            EXPECT_EQ(rules[0].folders, std::vector<std::string>{"v"});
        }
        if (rule->kind == kKeptMask) {
            EXPECT_EQ(rules[0].mask, "v");
        }
        rules.clear();
        EXPECT_FALSE(ParseKeepRules(rule->takesValue ? word : word + ":v", &rules, &error));
        if (rule->takesValue) {
            EXPECT_FALSE(ParseKeepRules(word + ":", &rules, &error));
            EXPECT_NE(error.find("needs"), std::string::npos) << error;
        }
        // The refusal of an unknown rule and the help list the word.
        EXPECT_FALSE(ParseKeepRules("biggest", &rules, &error));
        EXPECT_NE(error.find(rule->takesValue ? word + ":" : word), std::string::npos) << error;
        EXPECT_NE(usage.find(rule->takesValue ? word + ":" : word), std::string::npos);

        // The dry run's reason word names the rule as the command line reads it back, and the
        // list's cell is the reason text.
        EXPECT_STREQ(KeepReasonName(rule->kind), rule->reasonWord);
        EXPECT_NE(usage.find(rule->reasonWord), std::string::npos);
        rules.clear();
        ASSERT_TRUE(ParseKeepRules(std::string(rule->reasonWord) + (rule->takesValue ? ":v" : ""),
                                   &rules, &error))
            << error;
        EXPECT_EQ(rules[0].kind, rule->kind);
        EXPECT_STREQ(KeepReasonText(rule->kind), LoadStringText(rule->reasonText));
        EXPECT_EQ(KeepReasonTextId(rule->kind), rule->reasonText);
    }
    EXPECT_EQ(kinds, KeepRuleKinds());
    for (const std::set<std::string>* words :
         {&settingsWords, &commandWords, &reasonWords, &sheetTexts, &reasonTexts})
        EXPECT_EQ(words->size(), 7u);
    // No settings word of one rule is the command-line word of another: a settings text reads
    // both.
    for (const KeepRuleName* a = KeepRuleNamesBegin(); a != KeepRuleNamesEnd(); ++a)
        for (const KeepRuleName* b = KeepRuleNamesBegin(); b != KeepRuleNamesEnd(); ++b)
            if (a != b) {
                EXPECT_STRNE(a->settingsWord, b->commandWord);
            }

    // The reasons that are no rule.
    EXPECT_EQ(FindKeepRule(kKeptProtected), nullptr);
    EXPECT_EQ(FindKeepRule(kKeptAsFound), nullptr);
    EXPECT_STREQ(KeepReasonName(kKeptProtected), "protected");
    EXPECT_STREQ(KeepReasonName(kKeptAsFound), "found");
    EXPECT_STREQ(KeepReasonText(kKeptProtected), LoadStringText(IDS_KEEP_REASON_PROTECTED));
    EXPECT_STREQ(KeepReasonText(kKeptAsFound), LoadStringText(IDS_KEEP_REASON_AS_FOUND));

    // Texts older versions wrote read as they did; what is written stays as it was.
    const std::string written = "folder,nocopy,oldest,-newest,-shortest,-longest,-mask";
    EXPECT_EQ(KeepSettings::Defaults().RulesText(), written);
    KeepSettings old;
    ASSERT_TRUE(old.SetRulesText(written));
    EXPECT_EQ(old.rules, KeepSettings::Defaults().rules);
    ASSERT_TRUE(old.SetRulesText("newest,folder,nocopy,oldest"));
    EXPECT_EQ(old.RulesText(), "newest,folder,nocopy,oldest,-shortest,-longest,-mask");
    ASSERT_TRUE(old.SetRulesText("-nocopymark,path,oldest,oldest,biggest"));
    EXPECT_EQ(old.RulesText(), "-nocopy,folder,oldest,-newest,-shortest,-longest,-mask");
    EXPECT_FALSE(old.SetRulesText("biggest,,-"));
    EXPECT_EQ(old.RulesText(), "-nocopy,folder,oldest,-newest,-shortest,-longest,-mask");
    // "path" and "mask" without a value are no --keep rule, whatever the settings read.
    std::vector<KeepRule> rules;
    std::string error;
    EXPECT_FALSE(ParseKeepRules("path", &rules, &error));
    EXPECT_FALSE(ParseKeepRules("folder", &rules, &error));
    EXPECT_FALSE(ParseKeepRules("nocopy", &rules, &error));
    ASSERT_TRUE(ParseKeepRules("path:/a,path:/b,nocopymark", &rules, &error)) << error;
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].folders, (std::vector<std::string>{"/a", "/b"}));
}

TEST(CliOptions, JsonStringsRoundTripEveryName) {
    EXPECT_EQ(JsonString("报告 副本.txt"), "报告 副本.txt");
    EXPECT_EQ(JsonString("a\"b\\c\n\x01\x1f\x7f "), "a\\\"b\\\\c\\u000a\\u0001\\u001f\\u007f ");
    // Bytes outside valid UTF-8: a lone byte, a cut sequence, an overlong form, a surrogate,
    // a code point above U+10FFFF.
    EXPECT_EQ(JsonString("x\xff"), "x\\udcff");
    EXPECT_EQ(JsonString("\xe6\x8a"), "\\udce6\\udc8a");
    EXPECT_EQ(JsonString("\xc0\xaf"), "\\udcc0\\udcaf");
    EXPECT_EQ(JsonString("\xed\xa0\x80"), "\\udced\\udca0\\udc80");
    EXPECT_EQ(JsonString("\xf4\x90\x80\x80"), "\\udcf4\\udc90\\udc80\\udc80");
    EXPECT_EQ(JsonString("\xf0\x9f\x98\x80"), "\xf0\x9f\x98\x80");
    // Direction marks never reach a terminal as they are.
    EXPECT_EQ(JsonString("a\xe2\x80\xae" "b\xe2\x81\xa9"), "a\\u202eb\\u2069");
    EXPECT_EQ(JsonString("\xe2\x80\x94"), "\xe2\x80\x94");
    std::string error;
    CliOptions options;
    EXPECT_FALSE(Parse({"--json", "--csv", "/x"}, &options, &error));
    EXPECT_FALSE(Parse({"--json", "-0", "/x"}, &options, &error));
    EXPECT_TRUE(Parse({"--json", "/x"}, &options, &error));
    EXPECT_TRUE(options.json);
    // The code page of the output is a Windows matter: elsewhere names are bytes as they are.
    options = CliOptions();
    EXPECT_EQ(Parse({"--codepage", "/x"}, &options, &error), kWindows);
    EXPECT_EQ(options.ansiCodePage, kWindows);
    if (!kWindows) {
        EXPECT_EQ(error, LoadStringText(IDS_CLI_CODEPAGE_WINDOWS_ONLY));
    }
}

TEST(TerminalProgress, ControlCharactersNeverReachTheTerminal) {
    for (const bool utf8 : {true, false}) {
        EXPECT_EQ(EscapeControls("plain 文件/dir", utf8), "plain 文件/dir");
        EXPECT_EQ(EscapeControls("evil\x1b]0;owned\x07\r\n\t\x7f.", utf8),
                  "evil\\x1b]0;owned\\x07\\x0d\\x0a\\x09\\x7f.");
        EXPECT_EQ(EscapeControls(std::string("a\0b", 3), utf8), "a\\x00b");
    }
    // In UTF-8, C1 controls (U+009B is a control sequence introducer), stray bytes and broken
    // or overlong sequences are shown byte by byte.
    EXPECT_EQ(EscapeControls("a\xc2\x9b" "2J\xc2\xa0", true), "a\\xc2\\x9b" "2J\xc2\xa0");
    EXPECT_EQ(EscapeControls("\xff\x9b\xe6\x96", true), "\\xff\\x9b\\xe6\\x96");
    EXPECT_EQ(EscapeControls("\xc0\x9b\xed\xa0\x80", true), "\\xc0\\x9b\\xed\\xa0\\x80");
    // In a Windows code page every byte above 0x7F is part of a character.
    EXPECT_EQ(EscapeControls("\xd6\xd0\x9b\xff", false), "\xd6\xd0\x9b\xff");

    // The line fits the terminal: wide characters take two columns, the end is kept.
    std::string longName = "/start/";
    for (int i = 0; i < 60; ++i) longName += "文";
    longName += "/end\x1b";
    const std::string line = TerminalProgress::LineText(longName, 42, 80, true);
    EXPECT_EQ(line.substr(0, 8), " 42% ...");
    EXPECT_EQ(line.substr(line.size() - 8), "/end\\x1b");
    const std::size_t wide = (line.size() - 8 - 8) / 3;
    EXPECT_EQ(line.size(), 8 + wide * 3 + 8);
    EXPECT_LE(8 + wide * 2 + 8, 79u);
    EXPECT_GE(8 + wide * 2 + 8, 78u);
    EXPECT_EQ(TerminalProgress::LineText("short", -1, 80), "short");
    // One column a byte in a code page: a double-byte character takes two.
    const std::string ansi = TerminalProgress::LineText(std::string(100, '\xd6'), 7, 40, false);
    EXPECT_EQ(ansi, "  7% ..." + std::string(31, '\xd6'));

    // What the progress line and the lines of places passed over write, byte for byte.
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        TerminalProgress progress(out, true, nullptr, 80);
        progress.SetStatus("/t/\x1b]0;owned\x07");
        progress.Skipped(SkipKind::kFolder, "/t/evil\rname", "no\x1b[2J");
        progress.Skipped(SkipKind::kFile, "/t/f", "gone");
        EXPECT_EQ(progress.m_nSkipped, 1);
    }
    std::rewind(out);
    std::string written;
    for (int c; (c = std::fgetc(out)) != EOF;) written += static_cast<char>(c);
    std::fclose(out);
    EXPECT_EQ(written,
              "\r/t/\\x1b]0;owned\\x07\x1b[K"
              "\r\x1b[K"
              "pairscout-cli: /t/evil\\x0dname: no\\x1b[2J\n"
              "pairscout-cli: /t/f: gone\n");

    // Counts become the line's text when it is drawn: the scan's, then the grouping's over the
    // stage name, with the share of the bar.
    out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        TerminalProgress progress(out, true, nullptr, 80);
        progress.FilesFound(12, 3);
        progress.SetTotal(4);
        progress.SetStatus("正在查找重复文件...");
        progress.StepProgress(1);
        progress.DuplicatesFound(2, 600);
        progress.SetTotal(8);
    }
    std::rewind(out);
    written.clear();
    for (int c; (c = std::fgetc(out)) != EOF;) written += static_cast<char>(c);
    std::fclose(out);
    // (Lines between the forced ones depend on the clock: not looked at.)
    const std::string first = "\r发现 12 个文件在 3 个目录中\x1b[K";
    const std::string last = "\r  0% 发现 2 个重复的文件, 总共 600 字节\x1b[K\r\x1b[K";
    EXPECT_EQ(written.rfind(first, 0), 0u) << written;
    ASSERT_GE(written.size(), last.size());
    EXPECT_EQ(written.substr(written.size() - last.size()), last) << written;
}

#if defined(PAIRSCOUT_CLI_PATH)
struct CliRun {
    int status;
    std::string out;
    std::string err;
};

std::string CliProgram() {
#ifdef _WIN32
    // Relative to the test program: the build path of the host means nothing to Windows.
    return ProgramFolder() + Native(PAIRSCOUT_CLI_PATH);
#else
    return PAIRSCOUT_CLI_PATH;
#endif
}

CliRun RunCli(const std::vector<std::string>& args, const TempDir& scratch) {
    CliRun run;
    run.status = RunProgram(CliProgram(), args, scratch.Path(), &run.out, &run.err);
    return run;
}

#ifdef _WIN32
// The file's properties in Explorer show the program's icon, name and version.
TEST(CliEndToEnd, WindowsProgramCarriesItsIconAndVersion) {
    const std::wstring program = WidePath(CliProgram());
    EXPECT_EQ(VersionString(program, L"FileVersion"), WidePath(PAIRSCOUT_VERSION));
    EXPECT_EQ(VersionString(program, L"OriginalFilename"), L"pairscout-cli.exe");
    EXPECT_EQ(VersionString(program, L"CompanyName"), L"Orvelle Software Inc.");
    EXPECT_TRUE(HasApplicationIcon(program));
}
#endif

#ifdef _WIN32
namespace {

std::vector<std::string> PathLines(const std::string& out) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
        if (end > at) lines.push_back(out.substr(at, end - at));
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string InAnsiCodePage(const std::string& text) {
    const std::wstring wide = platform::Wide(text);
    const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], size,
                          nullptr, nullptr);
    return bytes;
}

}  // namespace

// Names outside the code page, a lone surrogate and a path deeper than 260 characters: into a
// file the list and the summary are UTF-8 (the lone surrogate its three-byte form), whatever
// the code page; with --codepage both are the code page's. Arguments arrive whole.
TEST(CliEndToEnd, WindowsNamesAreWrittenAsUtf8) {
    TempDir tree, scratch;
    const WindowsNameTree names(tree);
    const CliRun plain = RunCli({tree.Path()}, scratch);
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(PathLines(plain.out), names.All()) << plain.out;
    EXPECT_EQ(plain.err, names.Summary() + "\n");

    // Chinese and Cyrillic folders named on the command line, on an English system too.
    const CliRun typed = RunCli({tree / u8"照片", tree / u8"Фото"}, scratch);
    EXPECT_EQ(typed.status, 0) << typed.err;
    std::vector<std::string> photos = {names.photos[0], names.photos[1]};
    std::sort(photos.begin(), photos.end());
    EXPECT_EQ(PathLines(typed.out), photos);

    // For tools that read no UTF-8: one encoding, the code page's, for paths and summary.
    const CliRun ansi = RunCli({"--codepage", tree.Path()}, scratch);
    EXPECT_EQ(ansi.status, 0) << ansi.err;
    EXPECT_EQ(ansi.out, InAnsiCodePage(plain.out));
    EXPECT_EQ(ansi.err, InAnsiCodePage(plain.err));
    if (AnsiCodePage() == 936) {
        EXPECT_NE(ansi.out.find("\xBA\xA3\xB1\xDF.jpg"), std::string::npos);
    }
}
#endif

TEST(CliEndToEnd, GroupsCsvSummaryAndExitStatus) {
    TempDir tree, scratch;
    tree.WriteFile("a/one.txt", "same contents");
    tree.WriteFile("b/two.txt", "same contents");
    tree.WriteFile("b/three.txt", "same contents");
    tree.WriteFile("a/other.txt", "other content");  // same size, other bytes
    // A name that needs care in a CSV cell (Windows names cannot hold a quote).
    const std::string odd = kWindows ? "q,uote.dat" : "q\"uote.dat";
    tree.WriteFile("a/" + odd, "twin");
    tree.WriteFile("b/twin.dat", "twin");
    const std::string root = tree.Path();

    CliRun plain = RunCli({"--mask", "*.txt", root}, scratch);
    EXPECT_EQ(plain.status, 0);
    // One group: its three paths in scan order, then an empty line.
    ASSERT_EQ(std::count(plain.out.begin(), plain.out.end(), '\n'), 4) << plain.out;
    EXPECT_EQ(plain.out.substr(plain.out.size() - 2), "\n\n");
    EXPECT_EQ(plain.out.find("other.txt"), std::string::npos);
    EXPECT_NE(plain.out.find(tree / Native("a/one.txt") + "\n"), std::string::npos);
    EXPECT_EQ(plain.err, "发现 2 个重复文件 (26 字节)\n");

    // Overlapping start paths: a file found twice is never paired with itself, and it is
    // listed once in the group of another copy. CSV doubles the quotes inside a cell. Without
    // keep rules the group stays in scan order (the files' times may differ by a tick).
    CliRun csv = RunCli({"--csv", "--keep", "none", "--order", "found", "--mask", "*.dat",
                         tree / "b", root, tree / "a"}, scratch);
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out.find("\"" + (tree / Native("b/twin.dat")) + "\""), 0u) << csv.out;
    EXPECT_EQ(csv.out.find("twin.dat", csv.out.find("twin.dat") + 1), std::string::npos);
    const std::string oddCell = kWindows ? "q,uote.dat\",\"" : "q\"\"uote.dat\",\"";
    EXPECT_NE(csv.out.find(oddCell), std::string::npos) << csv.out;
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 2);
    // Rows end in CR LF, written as they are (no text-mode translation on Windows).
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\r'), 2);
    EXPECT_NE(csv.out.find("\",\"\",\"\",\"\"\r\n"), std::string::npos);

    // -v tells how each disk is read, before the summary; the groups are the same. (Windows
    // files have no device before they are read: no disk is decided for there.)
    CliRun verbose = RunCli({"-v", "--mask", "*.txt", root}, scratch);
    EXPECT_EQ(verbose.out, plain.out);
    EXPECT_NE(verbose.err.find("发现 2 个重复文件 (26 字节)\n"), std::string::npos);
    CliRun set = RunCli({"-v", "--readers", "3", "--mask", "*.txt", root}, scratch);
    EXPECT_EQ(set.out, plain.out);
    if (!kWindows) {
        EXPECT_EQ(verbose.err.find("pairscout-cli: 磁盘 "), 0u) << verbose.err;
        EXPECT_NE(set.err.find("同时读取 3 个文件 (按用户的设置)"), std::string::npos) << set.err;
    }

    CliRun none = RunCli({"--mask", "*.none", root}, scratch);
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "准备\n");

    // The name and the one version number, nothing searched.
    CliRun version = RunCli({"--version", root}, scratch);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("pairscout-cli (Pairscout) ") + PAIRSCOUT_VERSION + "\n");
    EXPECT_EQ(version.err, "");

    CliRun bad = RunCli({"--min-size", "12Q", root}, scratch);
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("不正确文件大小!"), std::string::npos);
    EXPECT_EQ(bad.out, "");
}

// The lines of `text` (each ended by a line feed) in byte order.
std::vector<std::string> SortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the last line has no line feed";
    std::sort(lines.begin(), lines.end());
    return lines;
}

// What the program says when there is nothing to search, and what it says on its way.
TEST(CliEndToEnd, StartPathsThatCannotBeOpened) {
    TempDir tree, scratch;
    tree.WriteFile("a/one.txt", "same");
    tree.WriteFile("a/two.txt", "same");
    const std::string file = tree / Native("a/one.txt");
    const std::string missing = tree / "no-such-folder";
    const std::string noFolder = LoadStringText(IDS_CLI_NO_START_FOLDER_OPENED);

    for (const std::string& bad : {missing, file}) {
        const CliRun run = RunCli({bad}, scratch);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_EQ(run.out, "");
        // The start path's own line with the system's reason, then why nothing was done.
        EXPECT_EQ(run.err.find("pairscout-cli: " + bad), 0u) << run.err;
        EXPECT_NE(run.err.find("\npairscout-cli: " + noFolder + "\n"), std::string::npos)
            << run.err;
    }
    for (const std::string& none : {std::string(), std::string("; ;")}) {
        const CliRun run = RunCli({none}, scratch);
        EXPECT_EQ(run.status, 2) << none;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.find("pairscout-cli: " + std::string(LoadStringText(IDS_CLI_NO_START_PATH))),
                  0u) << run.err;
    }

    // One good start path is enough: the others get their line and the search goes on.
    const CliRun mixed = RunCli({missing, tree / "a"}, scratch);
    EXPECT_EQ(mixed.status, 0);
    EXPECT_EQ(SortedLines(mixed.out),
              (std::vector<std::string>{"", tree / Native("a/one.txt"), tree / Native("a/two.txt")}));
    EXPECT_EQ(mixed.err.find("pairscout-cli: " + missing + ": "), 0u) << mixed.err;
    EXPECT_NE(mixed.err.find("发现 1 个重复文件 (4 字节)\n"), std::string::npos) << mixed.err;

    // A folder whose name holds ";" is searched as itself, like any other folder.
    tree.WriteFile("semi/a;b/one.dat", "twin");
    tree.WriteFile("semi/a;b/sub/two.dat", "twin");
    tree.WriteFile("semi/a/lone.dat", "lone");
    const CliRun semi = RunCli({tree / Native("semi/a;b")}, scratch);
    EXPECT_EQ(semi.status, 0) << semi.err;
    EXPECT_EQ(SortedLines(semi.out),
              (std::vector<std::string>{"", tree / Native("semi/a;b/one.dat"),
                                        tree / Native("semi/a;b/sub/two.dat")}));
    EXPECT_EQ(semi.err.find("pairscout-cli:"), std::string::npos) << semi.err;
    EXPECT_NE(semi.err.find("发现 1 个重复文件 (4 字节)\n"), std::string::npos) << semi.err;

    // Blanks around the elements of a list name no folder: "A; B ;" walks A and B.
    const CliRun list = RunCli({tree / "a" + "; " + (tree / "a") + " ;"}, scratch);
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.err.find("pairscout-cli:"), std::string::npos) << list.err;
    EXPECT_NE(list.out.find(tree / Native("a/one.txt")), std::string::npos) << list.out;
}

TEST(CliEndToEnd, BadSizesAndYearsAndIsoDates) {
    TempDir tree, scratch;
    tree.WriteFile("one.txt", "same");
    tree.WriteFile("two.txt", "same");
    for (const char* size : {"10KB", "10Kxyz", "-2K", "2048M"}) {
        const CliRun run = RunCli({"--min-size", size, tree.Path()}, scratch);
        EXPECT_EQ(run.status, 2) << size;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.find(std::string("pairscout-cli: ") + LoadStringText(IDS_INVALID_FILE_SIZE)),
                  0u) << run.err;
        EXPECT_NE(run.err.find("2147483647"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("2047M"), std::string::npos) << run.err;
    }
    for (const char* year : {"%%today+2147483647", "01/01/-1"}) {
        const CliRun run = RunCli({"--max-date", year, tree.Path()}, scratch);
        EXPECT_EQ(run.status, 2) << year;
    }
    // A year beyond what a file time holds is refused, never taken as no limit (which would
    // list today's files).
    for (const char* year : {"30840-01-01", "30828-01-01"}) {
        for (const char* option : {"--min-date", "--max-date"}) {
            const CliRun run = RunCli({option, year, tree.Path()}, scratch);
            EXPECT_EQ(run.status, 2) << option << " " << year;
            EXPECT_EQ(run.out, "") << option << " " << year;
            EXPECT_EQ(run.err.find(std::string("pairscout-cli: ") + LoadStringText(IDS_INVALID_YEAR)),
                      0u) << run.err;
        }
    }
    // The last day accepted is a real limit at both ends.
    const CliRun last = RunCli({"--min-date", "30827-12-31", tree.Path()}, scratch);
    EXPECT_EQ(last.status, 0) << last.err;
    EXPECT_EQ(last.out, "");
    const CliRun untilLast = RunCli({"--max-date", "30827-12-31", tree.Path()}, scratch);
    EXPECT_EQ(untilLast.status, 0) << untilLast.err;
    EXPECT_EQ(std::count(untilLast.out.begin(), untilLast.out.end(), '\n'), 3) << untilLast.out;
    // ISO dates in any locale: the files were written today.
    const CliRun before = RunCli({"--max-date", "2000-01-01", tree.Path()}, scratch);
    EXPECT_EQ(before.status, 0);
    EXPECT_EQ(before.out, "");
    const CliRun after = RunCli({"--min-date", "2000-01-01", tree.Path()}, scratch);
    EXPECT_EQ(after.status, 0);
    EXPECT_EQ(std::count(after.out.begin(), after.out.end(), '\n'), 3) << after.out;
}

// Empty files form a group of their own unless --no-empty leaves them out.
TEST(CliEndToEnd, EmptyFilesAreGroupedUnlessLeftOut) {
    TempDir tree, scratch;
    tree.WriteFile("a/empty", "");
    tree.WriteFile("b/empty", "");
    tree.WriteFile("a/one.txt", "same");
    tree.WriteFile("b/one.txt", "same");
    const CliRun all = RunCli({tree.Path()}, scratch);
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(SortedLines(all.out),
              (std::vector<std::string>{"", "", tree / Native("a/empty"), tree / Native("a/one.txt"),
                                        tree / Native("b/empty"), tree / Native("b/one.txt")}));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--no-empty", tree.Path()},
          std::vector<std::string>{"--no-empty", "--reverse", tree.Path()}}) {
        const CliRun some = RunCli(args, scratch);
        EXPECT_EQ(some.status, 0) << some.err;
        EXPECT_EQ(SortedLines(some.out),
                  (std::vector<std::string>{"", tree / Native("a/one.txt"), tree / Native("b/one.txt")}))
            << args[1];
    }
    CliOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--no-empty", "x"}, &o, &error)) << error;
    EXPECT_TRUE(o.search.filter.m_bLeaveOutEmpty);
    ASSERT_TRUE(Parse({"x"}, &o, &error)) << error;
    EXPECT_FALSE(o.search.filter.m_bLeaveOutEmpty);
}

#ifndef _WIN32
// A cache that cannot be used is named on standard error and the search goes on; --clear-cache
// empties it (and with no path does only that); the cache's options are read strictly.
TEST(CliEndToEnd, TheCacheIsNamedWhenUnusableAndCanBeCleared) {
    TempDir tree, scratch, cacheHome;
    tree.WriteFile("a/one.txt", "same");
    tree.WriteFile("b/one.txt", "same");
    ScopedEnvVar cacheVar("XDG_CACHE_HOME", cacheHome.Path().c_str());
    const std::string cache = cacheHome.WriteFile("pairscout/fingerprints.sqlite", std::string(4096, 'x'));
    const CliRun damaged = RunCli({tree.Path()}, scratch);
    EXPECT_EQ(damaged.status, 0) << damaged.err;
    EXPECT_EQ(SortedLines(damaged.out),
              (std::vector<std::string>{"", tree / "a/one.txt", tree / "b/one.txt"}));
    EXPECT_EQ(damaged.err.rfind("pairscout-cli: " + cache + ": 缓存不能使用 (", 0), 0u) << damaged.err;
    EXPECT_NE(damaged.err.find("), 搜索不用它继续\n"), std::string::npos) << damaged.err;
    const CliRun none = RunCli({"--no-cache", tree.Path()}, scratch);
    EXPECT_EQ(none.err.find("缓存"), std::string::npos) << none.err;
    const CliRun cleared = RunCli({"--clear-cache"}, scratch);
    EXPECT_EQ(cleared.status, 0) << cleared.err;
    EXPECT_EQ(cleared.err, "缓存已清空: " + cache + "\n");
    EXPECT_EQ(cleared.out, "");
    EXPECT_FALSE(std::filesystem::exists(cache));
    const CliRun fresh = RunCli({tree.Path()}, scratch);
    EXPECT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_EQ(fresh.err.find("缓存"), std::string::npos) << fresh.err;
    EXPECT_TRUE(std::filesystem::exists(cache));

    CliOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--cache-size", "512M", "--verify", "--no-cache", "x"}, &o, &error)) << error;
    EXPECT_EQ(o.cacheSize, std::int64_t{512} << 20);
    EXPECT_TRUE(o.search.verifyCached);
    EXPECT_FALSE(o.cache);
    for (const char* size : {"1K", "512", "65G", "M", "1.5G", "-1M", "9999999G"}) {
        EXPECT_FALSE(Parse({"--cache-size", size, "x"}, &o, &error)) << size;
        EXPECT_EQ(error, "--cache-size 需要 1M 到 64G 之间的大小") << size;
    }
    ASSERT_TRUE(Parse({"--cache-size=64g", "x"}, &o, &error)) << error;
    EXPECT_EQ(o.cacheSize, std::int64_t{64} << 30);
}
#endif

TEST(CliEndToEnd, NullSeparatedOutput) {
    TempDir tree, scratch;
    // A name holding a line feed would read as two paths in the line format.
    const std::string odd = kWindows ? "odd name" : "evil\n/etc/passwd";
    tree.WriteFile(odd + "/x.dat", "twin");
    tree.WriteFile("b/y.dat", "twin");
    tree.WriteFile("c/1.txt", "three");
    tree.WriteFile("c/2.txt", "three");
    const CliRun run = RunCli({"-0", tree / odd, tree / "b", tree / "c"}, scratch);
    EXPECT_EQ(run.status, 0);
    const std::string nul(1, '\0');
    EXPECT_EQ(run.out, (tree / Native("c/1.txt")) + nul + (tree / Native("c/2.txt")) + nul + nul +
                           (tree / Native(odd + "/x.dat")) + nul + (tree / Native("b/y.dat")) +
                           nul + nul);
    const CliRun csv = RunCli({"--null", "--csv", tree.Path()}, scratch);
    EXPECT_EQ(csv.status, 2);
    EXPECT_EQ(csv.out, "");
}

#ifndef _WIN32
// Starts the program with its standard output on `outFd` and its standard error into
// `errPath`: with SIGPIPE ignored when `ignorePipe`, as user nobody when `asNobody` (for
// files that root could read). Returns its process id.
// `programPath`, when given, is the program run instead of the built one.
pid_t StartCli(const std::vector<std::string>& args, int outFd, const std::string& errPath,
               bool ignorePipe, bool asNobody = false, const std::string& programPath = "") {
    const std::string program = programPath.empty() ? CliProgram() : programPath;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const pid_t pid = fork();
    if (pid == 0) {
        if (ignorePipe) signal(SIGPIPE, SIG_IGN);
        else signal(SIGPIPE, SIG_DFL);
        dup2(outFd, 1);
        dup2(errFd, 2);
        if (asNobody && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(99);
        execv(program.c_str(), argv.data());
        _exit(98);
    }
    close(errFd);
    return pid;
}

// The exit status of `pid`, 256 + the signal when a signal ended it, or -1 when it is still
// running after `timeout` (it is then killed).
int WaitFor(pid_t pid, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    int raw = 0;
    while (waitpid(pid, &raw, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            kill(pid, SIGKILL);
            waitpid(pid, &raw, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (WIFSIGNALED(raw)) return 256 + WTERMSIG(raw);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// A copy of the program in `root`/bin and, unless `catalog` is false, the English catalog where
// an installed program finds it beside bin/: the test then decides what lies there and who can
// reach it. Returns the copy's path, or "" with the reason in *why.
std::string CopyCli(const TempDir& root, bool catalog, std::string* why) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path bin = fs::path(root.Path()) / "bin";
    const fs::path program = bin / "pairscout-cli";
    fs::create_directories(bin, ec);
    if (!ec) fs::copy_file(CliProgram(), program, fs::copy_options::overwrite_existing, ec);
    if (!ec) chmod(program.c_str(), 0755);
    if (!ec && catalog) {
        const fs::path dir = bin / PAIRSCOUT_LOCALE_FROM_BIN / "en" / "LC_MESSAGES";
        fs::create_directories(dir, ec);
        if (!ec)
            fs::copy_file(PAIRSCOUT_ENGLISH_MO, dir / "pairscout.mo",
                          fs::copy_options::overwrite_existing, ec);
    }
    if (ec) {
        *why = "cannot copy the program to " + root.Path() + ": " + ec.message();
        return std::string();
    }
    return program.string();
}

// The program to run as nobody under root: a copy in `root`, with all it needs beside it,
// since the build may lie in a home folder closed to others. "" with the reason in *why when
// nobody cannot run even the copy (a temporary folder closed to others, say).
std::string CliForNobody(const TempDir& root, std::string* why) {
    if (geteuid() != 0) return CliProgram();
    const std::string program = CopyCli(root, true, why);
    if (program.empty()) return program;
    chmod(root.Path().c_str(), 0755);
    const std::string reached = unprivileged::RunUnprivileged([&program] {
        return std::string(access(program.c_str(), X_OK) == 0 ? "yes" : std::strerror(errno));
    });
    if (reached != "yes") {
        *why = "user nobody cannot run a copy of the program in " + root.Path() + ": " + reached;
        return std::string();
    }
    return program;
}

// A list cut short by a full disk or by a reader that went away is an error, not a success.
// The hand-shake between two Ctrl+Cs: waits (up to 5 s) until the SIGINT sent to `pid` is no
// longer pending, that is its handler has taken it. Two signals sent without it can merge into
// one when the machine is busy.
bool WaitInterruptTaken(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    const unsigned long long bit = 1ULL << (SIGINT - 1);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until) {
        const std::string status = ReadWholeFile(path);
        bool pending = status.empty();
        for (const char* field : {"\nSigPnd:\t", "\nShdPnd:\t"}) {
            const std::size_t at = status.find(field);
            if (at == std::string::npos ||
                (std::strtoull(status.c_str() + at + std::strlen(field), nullptr, 16) & bit) != 0)
                pending = true;
        }
        if (!pending) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

TEST(CliEndToEnd, WriteErrorsEndWithStatusOne) {
    TempDir tree, scratch;
    tree.WriteFile("one.txt", "same");
    tree.WriteFile("two.txt", "same");
    const std::string errPath = scratch / "err.txt";
    const std::string failed = std::string(LoadStringText(IDS_CLI_WRITE_FAILED)).substr(0, 6);

    TempDir acted;  // what an action did, written nowhere
    acted.WriteFile("1", "same");
    acted.WriteFile("2", "same");
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{tree.Path()}, std::vector<std::string>{"--help"},
          std::vector<std::string>{"--delete", "--yes", acted.Path()}}) {
        const pid_t pid = StartCli(args, full, errPath, false);
        EXPECT_EQ(WaitFor(pid, std::chrono::seconds(20)), 1) << args[0];
        const std::string err = ReadWholeFile(errPath);
        EXPECT_NE(err.find("pairscout-cli: " + failed), std::string::npos) << err;
    }
    close(full);

    // A reader that closed its end while SIGPIPE is ignored: the write fails with EPIPE.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    const pid_t pid = StartCli({tree.Path()}, fds[1], errPath, true);
    close(fds[1]);
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(20)), 1);
    const std::string err = ReadWholeFile(errPath);
    EXPECT_NE(err.find("pairscout-cli: " + failed), std::string::npos) << err;
    EXPECT_NE(err.find("发现 1 个重复文件"), std::string::npos) << err;
}

// A folder or a FIFO nobody writes to where the English catalog lies is passed over: the
// program neither stops on it nor waits for it, --version included.
TEST(CliEndToEnd, AFolderOrFifoInTheCatalogsPlaceIsPassedOver) {
    TempDir root, scratch;
    std::string why;
    const std::string program = CopyCli(root, false, &why);
    ASSERT_FALSE(program.empty()) << why;
    const std::string place =
        root / "bin/" PAIRSCOUT_LOCALE_FROM_BIN "/en/LC_MESSAGES/pairscout.mo";
    std::filesystem::create_directories(std::filesystem::path(place).parent_path());
    ScopedEnvVar english("PAIRSCOUT_LANG", "en");
    for (const bool fifo : {false, true}) {
        std::filesystem::remove_all(place);
        ASSERT_EQ(fifo ? mkfifo(place.c_str(), 0666) : mkdir(place.c_str(), 0755), 0) << place;
        const int out = open((scratch / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        ASSERT_GE(out, 0);
        pid_t pid = StartCli({"--version"}, out, scratch / "err.txt", false, false, program);
        EXPECT_EQ(WaitFor(pid, std::chrono::seconds(10)), 0)
            << (fifo ? "FIFO" : "folder") << ": " << ReadWholeFile(scratch / "err.txt");
        close(out);
        EXPECT_EQ(ReadWholeFile(scratch / "out.txt"),
                  std::string("pairscout-cli (Pairscout) ") + PAIRSCOUT_VERSION + "\n");
        // A message is still given, in the texts found elsewhere or in the program's own.
        const int none = open("/dev/null", O_WRONLY);
        pid = StartCli({"--min-size", "12Q", "."}, none, scratch / "err.txt", false, false, program);
        close(none);
        EXPECT_EQ(WaitFor(pid, std::chrono::seconds(10)), 2) << (fifo ? "FIFO" : "folder");
        EXPECT_EQ(ReadWholeFile(scratch / "err.txt").rfind("pairscout-cli: ", 0), 0u)
            << ReadWholeFile(scratch / "err.txt");
    }
}

TEST(CliEndToEnd, UnreadableFilesAreCountedInTheSummary) {
    TempDir tree, scratch;
    tree.WriteFile("one.txt", "same");
    tree.WriteFile("two.txt", "same");
    tree.WriteFile("locked.txt", "lock");
    ASSERT_EQ(chmod((tree / "locked.txt").c_str(), 0), 0);
    // Root reads anything: the program then runs as nobody, who must reach the tree and the
    // program.
    const bool root = geteuid() == 0;
    if (root) chmod(tree.Path().c_str(), 0755);
    TempDir runFrom;
    std::string why;
    const std::string program = CliForNobody(runFrom, &why);
    if (program.empty()) GTEST_SKIP() << why;
    const int out = open((scratch / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    ASSERT_GE(out, 0);
    // Nobody has no home to keep a cache in (which would be named first).
    const pid_t pid =
        StartCli({"--no-cache", tree.Path()}, out, scratch / "err.txt", false, root, program);
    close(out);
    ASSERT_EQ(WaitFor(pid, std::chrono::seconds(20)), 0) << ReadWholeFile(scratch / "err.txt");
    const std::string err = ReadWholeFile(scratch / "err.txt");
    EXPECT_EQ(err.find("pairscout-cli: " + (tree / "locked.txt") + ": "), 0u) << err;
    EXPECT_NE(err.find("\n发现 1 个重复文件 (4 字节)\n1 个文件不能完整读取, 未列出\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(SortedLines(ReadWholeFile(scratch / "out.txt")),
              (std::vector<std::string>{"", tree / "one.txt", tree / "two.txt"}));
}

// Entries whose details the system refuses (a folder readable but not searchable) are named
// and counted, never dropped in silence; names holding control bytes are searched like others.
TEST(CliEndToEnd, EntriesWithoutDetailsAreNamedAndControlNamesSearched) {
    TempDir tree, scratch;
    tree.WriteFile("one.txt", "same");
    tree.WriteFile("line\nfeed\r.txt", "same");
    tree.WriteFile("shut/a.txt", "shut");
    tree.WriteFile("shut/b.txt", "shut");
    ASSERT_EQ(chmod((tree / "shut").c_str(), 0444), 0);
    chmod(tree.Path().c_str(), 0755);
    // Root would see through the missing search right: the program runs as nobody.
    TempDir runFrom;
    std::string why;
    const std::string program = CliForNobody(runFrom, &why);
    if (program.empty()) {
        chmod((tree / "shut").c_str(), 0755);
        GTEST_SKIP() << why;
    }
    const int out = open((scratch / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    ASSERT_GE(out, 0);
    const pid_t pid = StartCli({"-0", tree.Path()}, out, scratch / "err.txt", false,
                               geteuid() == 0, program);
    close(out);
    const int status = WaitFor(pid, std::chrono::seconds(20));
    chmod((tree / "shut").c_str(), 0755);
    ASSERT_EQ(status, 0) << ReadWholeFile(scratch / "err.txt");
    const std::string err = ReadWholeFile(scratch / "err.txt");
    for (const char* name : {"shut/a.txt", "shut/b.txt"})
        EXPECT_NE(err.find("pairscout-cli: " + (tree / name) + ": "), std::string::npos) << err;
    EXPECT_NE(err.find("2 个文件不能完整读取, 未列出"), std::string::npos) << err;
    const std::string nul(1, '\0');
    const std::string list = ReadWholeFile(scratch / "out.txt");
    EXPECT_NE(list.find(tree / "line\nfeed\r.txt" + nul), std::string::npos) << list;
    EXPECT_NE(list.find(tree / "one.txt" + nul), std::string::npos) << list;
}

TEST(CliEndToEnd, ControlCharactersInNamesAreEscaped) {
    TempDir tree, scratch;
    // (No ";" in it: that would make it a list of two paths.)
    const std::string evil = tree / "clear\x1b[2J\x07\rgone";
    const CliRun run = RunCli({evil}, scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.find("pairscout-cli: " + tree.Path() + "clear\\x1b[2J\\x07\\x0dgone: "),
              0u)
        << run.err;
    for (const char raw : {'\x1b', '\x07', '\r'})
        EXPECT_EQ(run.err.find(raw), std::string::npos) << static_cast<int>(raw);
}

// Lax texts are refused or warned about: trailing text after "%%today", a start date after
// the end date, a day the month lacks (named as the day, not the weekday), a mask that can
// match nothing.
TEST(CliEndToEnd, LaxDatesAndMasksAreRefusedOrNamed) {
    TempDir tree, scratch;
    tree.WriteFile("a.txt", "same");
    tree.WriteFile("b.txt", "same");
    for (const char* lax : {"%%today+1x", "%%todayGARBAGE", "%%today+", "%%today-"}) {
        const CliRun run = RunCli({"--min-date", lax, tree.Path()}, scratch);
        EXPECT_EQ(run.status, 2) << lax;
        EXPECT_NE(run.err.find("不正确日期"), std::string::npos) << lax << run.err;
    }
    for (const char* fine : {"%%today", "%%today+1", "%%TODAY-7", "%%today 3 "}) {
        const CliRun run = RunCli({"--max-date", fine, tree.Path()}, scratch);
        EXPECT_EQ(run.status, 0) << fine << run.err;
    }
    const CliRun sizes = RunCli({"--min-size", "10", "--max-size", "5", tree.Path()}, scratch);
    EXPECT_EQ(sizes.status, 2);
    EXPECT_EQ(sizes.out, "");
    EXPECT_EQ(sizes.err.rfind("pairscout-cli: 最小文件大小大于最大文件大小。\n", 0), 0u) << sizes.err;
    const CliRun empty = RunCli({"--min-size", "", tree.Path()}, scratch);
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.out, "");
    EXPECT_EQ(empty.err.rfind("pairscout-cli: --min-size: 值不能为空\n", 0), 0u) << empty.err;
    const CliRun order =
        RunCli({"--min-date", "2024-02-01", "--max-date", "2024-01-31", tree.Path()}, scratch);
    EXPECT_EQ(order.status, 2);
    EXPECT_NE(order.err.find("最早日期晚于最晚日期"), std::string::npos) << order.err;
    EXPECT_EQ(RunCli({"--min-date", "2024-01-31", "--max-date", "2024-01-31", tree.Path()},
                     scratch).status,
              0);
    const CliRun day = RunCli({"--min-date", "2024-02-30", tree.Path()}, scratch);
    EXPECT_EQ(day.status, 2);
    // The refusal names the forms accepted, on the same line.
    // (The first form is the locale's, which the environment decides.)
    EXPECT_NE(day.err.find("不正确日: 请按 "), std::string::npos) << day.err;
    EXPECT_NE(day.err.find("、2024-01-31 或 2024年1月31日 的形式输入日期\n"), std::string::npos)
        << day.err;
    EXPECT_EQ(day.err.find("星期"), std::string::npos) << day.err;

    const CliRun excludes = RunCli({"--mask", "~*.tmp;~*.bak", tree.Path()}, scratch);
    EXPECT_EQ(excludes.status, 0);
    EXPECT_NE(excludes.err.find("pairscout-cli: 文件掩码只有排除部分 (~), 没有文件能匹配\n"),
              std::string::npos)
        << excludes.err;
    const CliRun mixed = RunCli({"--mask", "*.txt;~*.tmp", tree.Path()}, scratch);
    EXPECT_EQ(mixed.err.find("排除部分"), std::string::npos) << mixed.err;
    EXPECT_NE(mixed.out.find(tree / "a.txt"), std::string::npos);
}

#ifndef _WIN32
// "//name/..." with no share of a server "name" mounted is the ordinary path it also is:
// walked, alone or beside another start path; one that does not exist is named.
TEST(CliEndToEnd, DoubleSlashStartPathsAreWalkedOrNamed) {
    TempDir tree, other, scratch;
    tree.WriteFile("a.txt", "same");
    tree.WriteFile("b.txt", "same");
    other.WriteFile("c.txt", "else");
    other.WriteFile("d.txt", "else");
    const CliRun alone = RunCli({"/" + tree.Path()}, scratch);
    EXPECT_EQ(alone.status, 0) << alone.err;
    EXPECT_NE(alone.out.find("a.txt\n"), std::string::npos) << alone.out;
    const CliRun beside = RunCli({other.Path(), "/" + tree.Path()}, scratch);
    EXPECT_EQ(beside.status, 0) << beside.err;
    EXPECT_NE(beside.out.find("b.txt\n"), std::string::npos) << beside.out;
    EXPECT_NE(beside.out.find(other / "d.txt"), std::string::npos) << beside.out;
    const CliRun missing = RunCli({"//no-such-folder-here/x"}, scratch);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err.find("pairscout-cli: //no-such-folder-here/x"), 0u) << missing.err;
}
#endif

// A cell that a spreadsheet would run as a formula: the window's export puts an apostrophe
// before it; the command line's --csv keeps the exact text for the scripts that read it.
TEST(CliEndToEnd, FormulaCellsGetAnApostropheOnlyInTheWindowsExport) {
    TempDir tree, scratch;
    const std::string sep(1, platform::kPathSeparator);
    tree.WriteFile("=1+1/a", "same");
    tree.WriteFile("=1+1/b", "same");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(tree.Path());
    const CliRun run = RunCli({"--csv", "=1+1"}, scratch);
    SearchOptions options;
    options.paths = {"=1+1"};
    ResultsModel model;
    const int status = DuplicateSearch(nullptr).Run(options, model);
    std::filesystem::current_path(before);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find("\"=1+1" + sep), 0u) << run.out;
    EXPECT_NE(run.out.find("\r\n\"=1+1" + sep), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find('\''), std::string::npos) << run.out;
    ASSERT_EQ(status, DuplicateSearch::kFinished);
    ASSERT_EQ(model.RowCount(), 2u);
    const std::string csv = model.SpreadsheetCsvText();
    // The spreadsheet's file: a byte-order mark and the heading row before the rows.
    const std::string heading = "\xEF\xBB\xBF\"文件名\",\"日期\",\"大小\",\"CRC\",\"校验\"\r\n";
    ASSERT_EQ(csv.compare(0, heading.size(), heading), 0) << csv;
    EXPECT_EQ(csv.find("\"'=1+1" + sep), heading.size()) << csv;
    EXPECT_NE(csv.find("\r\n\"'=1+1" + sep, heading.size()), std::string::npos) << csv;
    // Only the leading character counts; everything else is as AllRowsText writes it, but for
    // the codes written as text formulas ("=""3f0""").
    std::string plain = csv.substr(heading.size());
    for (std::string::size_type at; (at = plain.find("\"'")) != std::string::npos;)
        plain.erase(at + 1, 1);
    int formulas = 0;
    for (std::string::size_type at; (at = plain.find("\"=\"\"")) != std::string::npos; ++formulas) {
        const std::string::size_type end = plain.find("\"\"\"", at + 4);
        ASSERT_NE(end, std::string::npos) << plain;
        plain.replace(end, 3, "\"");
        plain.replace(at, 4, "\"");
    }
    EXPECT_EQ(formulas, 2);  // the CRC and checksum of the group's first row
    EXPECT_EQ(plain, model.AllRowsText(",", true));
}

// Marks that turn the writing direction would show a name other than it is: escaped too.
TEST(CliEndToEnd, DirectionMarksInNamesAreEscaped) {
    TempDir tree, scratch;
    const std::string evil = tree / "invoice\xE2\x80\xAEgpj.exe\xE2\x81\xA6x\xE2\x81\xA9";
    const CliRun run = RunCli({evil}, scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.find("pairscout-cli: " + tree.Path() +
                           "invoice\\xe2\\x80\\xaegpj.exe\\xe2\\x81\\xa6x\\xe2\\x81\\xa9: "),
              0u)
        << run.err;
    // Other characters of that block stay as they are.
    EXPECT_EQ(EscapeControls("a\xE2\x80\x94" "b\xE2\x81\xB0", true), "a\xE2\x80\x94" "b\xE2\x81\xB0");
    EXPECT_EQ(EscapeControls("\xE2\x80\xAA\xE2\x80\xAB\xE2\x80\xAC\xE2\x80\xAD\xE2\x81\xA7", true),
              "\\xe2\\x80\\xaa\\xe2\\x80\\xab\\xe2\\x80\\xac\\xe2\\x80\\xad\\xe2\\x81\\xa7");
}

// Sets the time `path` was last written to `hours` hours before one fixed point.
void SetAge(const std::string& path, int hours) {
    static const auto base = std::chrono::time_point_cast<std::chrono::seconds>(
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400));
    // The path is UTF-8, also on Windows, where a narrow path would be read in the ANSI code page.
    std::filesystem::last_write_time(std::filesystem::u8path(path), base - std::chrono::hours(hours));
}

TEST(CliEndToEnd, DryRunNamesTheKeptCopyAndWhatWouldGo) {
    TempDir tree, scratch;
    SetAge(tree.WriteFile("a/photo (1).jpg", std::string(300, 'p')), 90);
    SetAge(tree.WriteFile("b/photo.jpg", std::string(300, 'p')), 10);
    SetAge(tree.WriteFile("ref/photo.jpg", std::string(300, 'p')), 5);
    SetAge(tree.WriteFile("a/old.txt", std::string(500, 't')), 50);
    SetAge(tree.WriteFile("b/new.txt", std::string(500, 't')), 20);
    SetAge(tree.WriteFile("refx/new.txt", std::string(500, 't')), 30);
    const std::string a = tree / Native("a/"), b = tree / Native("b/");
    const std::string ref = tree / Native("ref/"), refx = tree / Native("refx/");

    // The default rules: the marked copy goes although it is the oldest; the largest group
    // (1000 bytes to free) comes first. Nothing is deleted.
    const CliRun plan = RunCli({"--dry-run", tree.Path()}, scratch);
    EXPECT_EQ(plan.status, 0) << plan.err;
    EXPECT_EQ(plan.out, "keep\toldest\t" + a + "old.txt\n" +
                            "delete\t-\t" + refx + "new.txt\n" +
                            "delete\t-\t" + b + "new.txt\n\n" +
                            "keep\toldest\t" + b + "photo.jpg\n" +
                            "delete\t-\t" + ref + "photo.jpg\n" +
                            "delete\t-\t" + a + "photo (1).jpg\n\n");
    EXPECT_EQ(plan.err, "发现 4 个重复文件 (2 KB)\n将删除 4 个文件, 可释放 2 KB\n");
    EXPECT_TRUE(std::filesystem::exists(a + "photo (1).jpg"));

    // A protected copy is kept first and never goes; "refx" is not under "ref". The plain
    // list puts the kept copy first too.
    const CliRun guarded =
        RunCli({"--dry-run", "--keep", "newest", "--protect", tree / "ref", tree.Path()}, scratch);
    EXPECT_EQ(guarded.status, 0) << guarded.err;
    EXPECT_EQ(guarded.out, "keep\tnewest\t" + b + "new.txt\n" +
                               "delete\t-\t" + refx + "new.txt\n" +
                               "delete\t-\t" + a + "old.txt\n\n" +
                               "keep\tprotected\t" + ref + "photo.jpg\n" +
                               "delete\t-\t" + b + "photo.jpg\n" +
                               "delete\t-\t" + a + "photo (1).jpg\n\n");
    const CliRun list = RunCli({"--keep", "path:" + tree / "a", "--order", "found", tree.Path()},
                               scratch);
    EXPECT_EQ(list.out.find(a + "old.txt\n"), 0u) << list.out;
    EXPECT_NE(list.out.find("\n\n" + a + "photo (1).jpg\n"), std::string::npos) << list.out;

    // Only the groups with a protected copy; a protected copy that is not first stays too.
    const CliRun only = RunCli({"--dry-run", "--only-protected", "--protect", tree / "refx",
                                "--protect", tree / "b", tree.Path()},
                               scratch);
    EXPECT_EQ(only.status, 0) << only.err;
    EXPECT_EQ(only.out, "keep\toldest\t" + refx + "new.txt\n" +
                            "protect\t-\t" + b + "new.txt\n" +
                            "delete\t-\t" + a + "old.txt\n\n" +
                            "keep\tprotected\t" + b + "photo.jpg\n" +
                            "delete\t-\t" + ref + "photo.jpg\n" +
                            "delete\t-\t" + a + "photo (1).jpg\n\n");
    EXPECT_NE(only.err.find("将删除 3 个文件, 可释放 1 KB"), std::string::npos) << only.err;

    const CliRun bad = RunCli({"--keep", "largest", tree.Path()}, scratch);
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("unknown rule \"largest\""), std::string::npos) << bad.err;
}

TEST(CliEndToEnd, JsonListsGroupsFilesAndTheKeptCopy) {
    TempDir tree, scratch;
    const std::string odd = kWindows ? "r\"q" : "r\xff\"q";
    const std::string name = kWindows ? "r" : odd;
    SetAge(tree.WriteFile("ref/r.txt", "hello\n"), 30);
    SetAge(tree.WriteFile("a/" + name + " (1).txt", "hello\n"), 90);
    const std::string oddJson = kWindows ? "r" : "r\\udcff\\\"q";
    const CliRun run = RunCli({"--json", "--protect", tree / "ref", tree.Path()}, scratch);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string ref = JsonString(tree / Native("ref/r.txt"));
    const std::string copy = JsonString(tree / Native("a/")) + oddJson + " (1).txt";
    const std::size_t at = run.out.find("\"time\": \"");
    ASSERT_NE(at, std::string::npos) << run.out;
    const std::string time = run.out.substr(at + 9, 19);
    EXPECT_EQ(time.size(), 19u);
    EXPECT_EQ(time[10], 'T');
    // The document names its format, and what the search was given, before its groups.
    EXPECT_EQ(run.out.rfind("{\"format\": \"pairscout-results\", \"version\": 1, ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\"search\": {\"paths\": [\"" + JsonString(tree.Path()) +
                           "\"], \"mask\": \"*.*\", \"protect\": [\"" + JsonString(tree / "ref") + "\"]}"),
              std::string::npos) << run.out;
    const std::size_t groups = run.out.find("\"groups\": [");
    ASSERT_NE(groups, std::string::npos);
    const std::string expected =
        "\"groups\": [\n  {\"size\": 6, \"crc\": \"363a3020\", \"checksum\": \"0000021e\", "
        "\"files\": [\n    {\"path\": \"" + ref + "\", \"time\": \"" + time +
        "\", \"keep\": true, \"rule\": \"protected\", \"protected\": true, \"size\": 6, \"written\": ";
    EXPECT_EQ(run.out.substr(groups, expected.size()), expected);
    const std::string second = "{\"path\": \"" + copy + "\", \"time\": \"";
    const std::size_t at2 = run.out.find(second);
    ASSERT_NE(at2, std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"keep\": false, \"protected\": false, \"size\": 6, \"written\": ", at2),
              std::string::npos) << run.out;
    // Each file is named by its file system and number while it is the file that was read.
    EXPECT_NE(run.out.find("\"inode\": ", at2), std::string::npos) << run.out;
    const std::string end = "\"}]}\n]}\n";
    ASSERT_GT(run.out.size(), end.size());
    EXPECT_EQ(run.out.substr(run.out.size() - end.size()), end);

#ifndef _WIN32
    // The time is the local one, to the second: a leap day that is the next day in Tokyo.
    {
        TempDir dated;
        ScopedEnvVar zone("TZ", "Asia/Tokyo");
        for (const char* twin : {"x", "y"}) {
            const std::string path = dated.WriteFile(twin, "dated");
            const struct timespec times[2] = {{1709251199, 0}, {1709251199, 0}};  // 2024-02-29 23:59:59 UTC
            ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        }
        const CliRun local = RunCli({"--json", dated.Path()}, scratch);
        EXPECT_NE(local.out.find("\"time\": \"2024-03-01T08:59:59\""), std::string::npos) << local.out;
    }
#endif

    const CliRun none = RunCli({"--json", "--mask", "*.none", tree.Path()}, scratch);
    EXPECT_NE(none.out.find("\n \"groups\": []}\n"), std::string::npos) << none.out;
    // A protected folder that is not there is a slip, not an empty protection.
    const CliRun missing = RunCli({"--protect", tree / "nope", tree.Path()}, scratch);
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("no such folder"), std::string::npos) << missing.err;
    EXPECT_EQ(missing.out, "");
    // Nor is a file: it holds no files to protect.
    EXPECT_EQ(RunCli({"--protect", tree / Native("ref/r.txt"), tree.Path()}, scratch).status, 2);
}

#ifdef PAIRSCOUT_MANUAL_SOURCE
// Every option --help names is in the manual page and the bash completion.
TEST(CliEndToEnd, ManualAndCompletionNameEveryOption) {
    const std::string manual = ReadWholeFile(PAIRSCOUT_MANUAL_SOURCE);
    const std::string source = PAIRSCOUT_MANUAL_SOURCE;
    const std::string completion =
        ReadWholeFile(source.substr(0, source.rfind('/') + 1) + "pairscout-cli.bash-completion");
    ASSERT_FALSE(manual.empty());
    ASSERT_FALSE(completion.empty());
    const std::string usage = CliUsage();
    int checked = 0;
    for (std::size_t at = usage.find("\n  --"); at != std::string::npos;
         at = usage.find("\n  --", at + 1)) {
        std::size_t end = at + 3;
        while (end < usage.size() && (std::isalnum(static_cast<unsigned char>(usage[end])) ||
                                      usage[end] == '-'))
            ++end;
        const std::string option = usage.substr(at + 3, end - at - 3);
        // troff writes "-" as "\-".
        std::string troff;
        for (char c : option) troff += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(manual.find(troff), std::string::npos) << option;
        EXPECT_NE(completion.find(option), std::string::npos) << option;
        ++checked;
    }
    EXPECT_GT(checked, 15);
}
#endif

// An environment variable set for one test, on either platform ("" removes it).
class ChildEnv {
public:
    ChildEnv(const char* name, const char* value) : m_name(name) {
        const char* old = std::getenv(name);
        m_had = old != nullptr;
        if (m_had) m_old = old;
        Set(value);
    }
    ~ChildEnv() { Set(m_had ? m_old.c_str() : ""); }

private:
    void Set(const char* value) {
#ifdef _WIN32
        _putenv_s(m_name.c_str(), value);
#else
        if (*value != '\0') setenv(m_name.c_str(), value, 1);
        else unsetenv(m_name.c_str());
#endif
    }
    std::string m_name, m_old;
    bool m_had = false;
};

// --help and the messages in the user's language: English on an English desktop, Chinese on a
// Chinese one, PAIRSCOUT_LANG before either.
TEST(CliEndToEnd, HelpAndMessagesFollowTheUsersLanguage) {
    TempDir scratch;
    ChildEnv forced("PAIRSCOUT_LANG", "");
    ChildEnv list("LANGUAGE", "");
    ChildEnv messages("LC_MESSAGES", "");
    {
        ChildEnv all("LC_ALL", "en_US.UTF-8");
        const CliRun help = RunCli({"--help"}, scratch);
        EXPECT_EQ(help.status, 0);
        if (!kWindows) {  // Wine's interface language comes from its own locale set-up
            EXPECT_EQ(help.out.rfind("Usage: pairscout-cli [OPTIONS] PATH...\n", 0), 0u)
                << help.out.substr(0, 200);
            EXPECT_NE(help.out.find("  --mask TEXT "), std::string::npos);
            const CliRun none = RunCli({}, scratch);
            EXPECT_NE(none.err.find("--help"), std::string::npos);
            const CliRun bad = RunCli({"--min-size", "12Q", "."}, scratch);
            // A format with 64-bit directives, from the catalog's portable form.
            EXPECT_EQ(bad.err,
                      "pairscout-cli: Invalid file size! Largest value accepted: 2147483647 bytes, "
                      "2097151K or 2047M\nTry 'pairscout-cli --help'.\n");
        }
    }
    {
        ChildEnv all("LC_ALL", "zh_CN.UTF-8");
        const CliRun help = RunCli({"--help"}, scratch);
        EXPECT_EQ(help.status, 0);
        if (!kWindows) {
            EXPECT_EQ(help.out.rfind("用法：pairscout-cli [选项] 路径...\n", 0), 0u)
                << help.out.substr(0, 200);
            EXPECT_EQ(help.out, LoadOriginalText(IDS_CLI_USAGE));
        }
    }
    // PAIRSCOUT_LANG over the desktop, both ways and on every platform.
    {
        ChildEnv all("LC_ALL", "zh_CN.UTF-8");
        ChildEnv en("PAIRSCOUT_LANG", "en");
        const CliRun help = RunCli({"--help"}, scratch);
        EXPECT_EQ(help.out.rfind("Usage: pairscout-cli", 0), 0u) << help.out.substr(0, 200);
        EXPECT_NE(help.out.find("\n  -h, --help "), std::string::npos);
    }
    {
        ChildEnv all("LC_ALL", "en_US.UTF-8");
        ChildEnv zh("PAIRSCOUT_LANG", "zh_CN");
        const CliRun bad = RunCli({"--min-size", "12Q", "."}, scratch);
        EXPECT_EQ(bad.err.rfind("pairscout-cli: 不正确文件大小! 可接受的最大值: 2147483647 字节", 0), 0u)
            << bad.err;
    }
}

#ifdef PAIRSCOUT_MANUAL_SOURCE
// The manual page's example for -0 runs as written: no empty argument reaches the command.
TEST(CliEndToEnd, TheManualsNullExampleWorks) {
    TempDir tree, scratch;
    tree.WriteFile("a/one", "same");
    tree.WriteFile("b/one", "same");
    tree.WriteFile("a/two", "pair");
    tree.WriteFile("b/two", "pair");
    const std::string manual = ReadWholeFile(PAIRSCOUT_MANUAL_SOURCE);
    const std::string::size_type at = manual.find("| xargs \\-0");
    ASSERT_NE(at, std::string::npos);
    std::string line = manual.substr(manual.rfind('\n', at) + 1);
    line = line.substr(0, line.find('\n'));
    // Out of troff: "\-" is "-", "\e" a backslash.
    std::string command;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '-' || line[i + 1] == 'e')) {
            command += line[i + 1] == '-' ? '-' : '\\';
            ++i;
        } else {
            command += line[i];
        }
    }
    ASSERT_EQ(command.rfind("pairscout-cli ", 0), 0u) << command;
    command.replace(0, 13, CliProgram());
    const std::string::size_type home = command.find("~/Downloads");
    ASSERT_NE(home, std::string::npos) << command;
    command.replace(home, 11, "'" + tree.Path() + "'");
    const std::string shell = command + " > '" + (scratch / "out.txt") + "' 2> '" +
                              (scratch / "err.txt") + "'";
    EXPECT_EQ(std::system(shell.c_str()), 0) << command << "\n" << ReadWholeFile(scratch / "err.txt");
    const std::string listing = ReadWholeFile(scratch / "out.txt");
    for (const char* name : {"a/one", "b/one", "a/two", "b/two"})
        EXPECT_NE(listing.find(tree / name), std::string::npos) << listing;
}
#endif

// On a terminal the list shows control characters escaped too; into a file it is exact.
TEST(CliEndToEnd, ListOnATerminalIsEscaped) {
    TempDir tree, scratch;
    const std::string evil = "t\x1b[2J\x07";
    tree.WriteFile(evil + "/one.txt", "same");
    tree.WriteFile("two.txt", "same");
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    const pid_t pid = StartCli({tree.Path()}, terminal, scratch / "err.txt", false);
    close(terminal);
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(20)), 0);
    std::string shown;
    char buf[4096];
    for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;) shown.append(buf, n);  // EIO at end
    close(master);
    EXPECT_NE(shown.find(tree.Path() + "t\\x1b[2J\\x07/one.txt"), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x1b'), std::string::npos);
    EXPECT_EQ(shown.find('\x07'), std::string::npos);

    const CliRun file = RunCli({tree.Path()}, scratch);
    EXPECT_NE(file.out.find(tree / evil + "/one.txt\n"), std::string::npos);
}

// The first Ctrl+C lets the groups be written; a second ends the program even while it waits
// for a reader that never reads.
TEST(CliEndToEnd, SecondInterruptEndsAtOnce) {
    TempDir tree, scratch;
    const std::string longName(150, 'n');
    for (int i = 0; i < 600; ++i) tree.WriteFile(longName + std::to_string(i), "x");
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t pid = StartCli({tree.Path()}, fds[1], scratch / "err.txt", false);
    close(fds[1]);
    // Wait until the pipe is full and the program blocked writing into it.
    int last = -1, stable = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (stable < 30 && std::chrono::steady_clock::now() < until) {
        int ready = 0;
        ioctl(fds[0], FIONREAD, &ready);
        stable = (ready > 0 && ready == last) ? stable + 1 : 0;
        last = ready;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GT(last, 0);
    kill(pid, SIGINT);
    EXPECT_TRUE(WaitInterruptTaken(pid));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    int raw = 0;
    EXPECT_EQ(waitpid(pid, &raw, WNOHANG), 0) << "the first Ctrl+C ended a blocked write";
    kill(pid, SIGINT);
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(5)), 130);
    close(fds[0]);
}

// Two large files of one size are read from end to end before a stop is seen between files;
// the second Ctrl+C does not wait for that.
TEST(CliEndToEnd, SecondInterruptEndsALongRead) {
    TempDir tree, scratch;
    constexpr off_t kSize = 6LL << 30;
    for (const char* name : {"a.img", "b.img"}) {
        const int fd = open((tree / name).c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, kSize), 0);
        struct stat st = {};
        fstat(fd, &st);
        close(fd);
        if (st.st_blocks * 512 >= kSize) GTEST_SKIP() << "no sparse files here";
    }
    const int out = open("/dev/null", O_WRONLY);
    const pid_t pid = StartCli({tree.Path()}, out, scratch / "err.txt", false);
    close(out);
    // Once it reads (the handler of Ctrl+C is in place long before).
    const std::string io = "/proc/" + std::to_string(pid) + "/io";
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until) {
        const std::string text = ReadWholeFile(io);
        const std::size_t at = text.find("rchar: ");
        if (at == std::string::npos || std::stoll(text.substr(at + 7)) > (64 << 20)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGINT);
    EXPECT_TRUE(WaitInterruptTaken(pid));
    kill(pid, SIGINT);
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(2)), 130);
}

// Ctrl+C while the walk is under way (held up here naming start paths on a full standard
// error) ends with 130, as it does later: a script must not take the empty list for an answer.
TEST(CliEndToEnd, InterruptDuringTheScanEndsWith130) {
    TempDir scratch;
    std::vector<std::string> args;
    for (int i = 0; i < 1000; ++i) args.push_back(scratch / (std::string(200, 'm') + std::to_string(i)));
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const int out = open("/dev/null", O_WRONLY);
    const pid_t pid = StartCli(args, out, "/proc/self/fd/" + std::to_string(fds[1]), false);
    close(out);
    close(fds[1]);
    int last = -1, stable = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (stable < 30 && std::chrono::steady_clock::now() < until) {
        int ready = 0;
        ioctl(fds[0], FIONREAD, &ready);
        stable = (ready > 0 && ready == last) ? stable + 1 : 0;
        last = ready;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGINT);
    EXPECT_TRUE(WaitInterruptTaken(pid));
    std::thread drain([&fds] {
        char buffer[4096];
        while (read(fds[0], buffer, sizeof buffer) > 0) {
        }
    });
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(20)), 130);
    drain.join();
    close(fds[0]);
}
#endif
#endif

}  // namespace
