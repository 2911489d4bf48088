#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <chrono>
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
#include "cli/terminal_progress.h"
#include "engine/date_value.h"
#include "engine/size_text.h"
#include "engine/validation_message.h"
#include "engine/engine_strings.h"
#include "support/platform_rules.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

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
    EXPECT_EQ(o.search.paths, "a;b;c");
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
    EXPECT_EQ(o.search.paths, "--odd-name");

    // The maximum date is the end of its day.
    ASSERT_TRUE(Parse({"--min-date", "04/09/03", "--max-date", "04/09/03", "x"}, &o, &error));
    EXPECT_EQ(o.search.filter.m_ftMaxDate - o.search.filter.m_ftMinDate,
              (24 * 3600 - 1) * platform::kFileTimeTicksPerSecond);
    ASSERT_TRUE(Parse({"--min-date=%%TODAY-7", "x"}, &o, &error)) << error;
    EXPECT_NE(o.search.filter.m_ftMinDate, 0);

    // Bad input gives the options sheet's own messages (a bad size also names the largest).
    EXPECT_FALSE(Parse({"--min-size", "12Q", "x"}, &o, &error));
    EXPECT_EQ(error.find(LoadStringText(kIdsInvalidFileSize)), 0u) << error;
    EXPECT_FALSE(Parse({"--min-size", "2M", "--max-size", "1M", "x"}, &o, &error));
    EXPECT_EQ(error, LoadStringText(kIdsInvalidFileSize));
    // Month first: the C locale here, en-US on Windows (whose user's locale decides).
    if (!kWindows || UserLocaleIsEnUs()) {
        EXPECT_FALSE(Parse({"--min-date", "13/01/03", "x"}, &o, &error));
        EXPECT_EQ(error, LoadStringText(kIdsInvalidMonth));
    }
    EXPECT_FALSE(Parse({"--max-date", "junk", "x"}, &o, &error));
    EXPECT_EQ(error, LoadStringText(kIdsInvalidDate));
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
        EXPECT_EQ(error.find(LoadStringText(kIdsInvalidFileSize)), 0u) << bad;
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
    EXPECT_EQ(error, LoadStringText(kIdsInvalidDay));
    for (const char* badYear : {"01/01/-1", "01/01/-2024", "%%today+2147483647", "%%today-999999",
                                "1600-12-31"}) {
        EXPECT_FALSE(Parse({"--max-date", badYear, "x"}, &o, &error)) << badYear;
        EXPECT_EQ(error, LoadStringText(kIdsInvalidYear)) << badYear;
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

    // A list loses the blanks around its elements and its empty elements; one path without
    // ";" is taken exactly as typed.
    EXPECT_EQ(StartPathList({"A; B ;"}), "A;B");
    EXPECT_EQ(StartPathList({" A ", " B"}), "A;B");
    EXPECT_EQ(StartPathList({";;\tA\t;"}), "A");
    EXPECT_EQ(StartPathList({" B "}), " B ");
    EXPECT_EQ(StartPathList({"a b"}), "a b");
    EXPECT_EQ(StartPathList({"; ;"}), "");
    EXPECT_EQ(StartPathList({""}), "");
    EXPECT_EQ(StartPathList({"", " "}), "");
    ASSERT_TRUE(Parse({"A; B ;", "C"}, &o, &error)) << error;
    EXPECT_EQ(o.search.paths, "A;B;C");
    for (const std::vector<std::string>& none :
         {std::vector<std::string>{""}, std::vector<std::string>{"; ;"},
          std::vector<std::string>{"", ";"}}) {
        EXPECT_FALSE(Parse(none, &o, &error));
        EXPECT_EQ(error, LoadStringText(IDS_CLI_NO_START_PATH));
    }
}

TEST(TerminalProgress, ControlCharactersNeverReachTheTerminal) {
    EXPECT_EQ(EscapeControls("plain 文件/dir"), "plain 文件/dir");
    EXPECT_EQ(EscapeControls("evil\x1b]0;owned\x07\r\n\t\x7f."),
              "evil\\x1b]0;owned\\x07\\x0d\\x0a\\x09\\x7f.");
    // C1 controls (U+009B is a control sequence introducer), stray bytes and broken or
    // overlong UTF-8 are shown byte by byte.
    EXPECT_EQ(EscapeControls("a\xc2\x9b" "2J\xc2\xa0"), "a\\xc2\\x9b" "2J\xc2\xa0");
    EXPECT_EQ(EscapeControls("\xff\x9b\xe6\x96"), "\\xff\\x9b\\xe6\\x96");
    EXPECT_EQ(EscapeControls("\xc0\x9b\xed\xa0\x80"), "\\xc0\\x9b\\xed\\xa0\\x80");
    EXPECT_EQ(EscapeControls(std::string("a\0b", 3)), "a\\x00b");

    // The line fits the terminal: wide characters take two columns, the end is kept.
    std::string longName = "/start/";
    for (int i = 0; i < 60; ++i) longName += "文";
    longName += "/end\x1b";
    const std::string line = TerminalProgress::LineText(longName, 42, 80);
    EXPECT_EQ(line.substr(0, 8), " 42% ...");
    EXPECT_EQ(line.substr(line.size() - 8), "/end\\x1b");
    const std::size_t wide = (line.size() - 8 - 8) / 3;
    EXPECT_EQ(line.size(), 8 + wide * 3 + 8);
    EXPECT_LE(8 + wide * 2 + 8, 79u);
    EXPECT_GE(8 + wide * 2 + 8, 78u);
    EXPECT_EQ(TerminalProgress::LineText("short", -1, 80), "short");

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

    // Overlapping start paths: a file found twice is never paired with itself, but both of
    // its records join the group of another copy. CSV doubles the quotes inside a cell.
    CliRun csv = RunCli({"--csv", "--mask", "*.dat", tree / "b", root, tree / "a"}, scratch);
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out.find("\"" + (tree / Native("b/twin.dat")) + "\""), 0u) << csv.out;
    EXPECT_EQ(csv.out.find("twin.dat", csv.out.find("twin.dat") + 1), std::string::npos);
    const std::string oddCell = kWindows ? "q,uote.dat\",\"" : "q\"\"uote.dat\",\"";
    EXPECT_NE(csv.out.find(oddCell), std::string::npos) << csv.out;
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 3);
    // Rows end in CR LF, written as they are (no text-mode translation on Windows).
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\r'), 3);
    EXPECT_NE(csv.out.find("\",\"\",\"\",\"\"\r\n"), std::string::npos);

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
#endif

}  // namespace
