#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <string>

#include "cli/cli_options.h"
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

    // Bad input gives the options sheet's own messages.
    EXPECT_FALSE(Parse({"--min-size", "12Q", "x"}, &o, &error));
    EXPECT_EQ(error, LoadStringText(kIdsInvalidFileSize));
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

    // Overlapping start paths: a file found twice is never paired with itself, and it is
    // listed once in the group of another copy. CSV doubles the quotes inside a cell.
    CliRun csv = RunCli({"--csv", "--mask", "*.dat", tree / "b", root, tree / "a"}, scratch);
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out.find("\"" + (tree / Native("b/twin.dat")) + "\""), 0u) << csv.out;
    EXPECT_EQ(csv.out.find("twin.dat", csv.out.find("twin.dat") + 1), std::string::npos);
    const std::string oddCell = kWindows ? "q,uote.dat\",\"" : "q\"\"uote.dat\",\"";
    EXPECT_NE(csv.out.find(oddCell), std::string::npos) << csv.out;
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 2);
    // Rows end in CR LF, written as they are (no text-mode translation on Windows).
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\r'), 2);
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
