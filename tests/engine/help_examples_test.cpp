// The help book made for this platform: every mask it gives as an example takes the files its
// page says and leaves the others, and no form of the other platform is left in it (a Windows
// mask or server name on Linux finds nothing).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "engine/actions/action_kinds.h"
#include "engine/search/directory_scanner.h"
#include "engine/text/string_table.h"
#include "engine/search/mask_list.h"
#include "platform/file_find.h"

#ifndef PAIRSCOUT_HELP_BOOK_DIR
#define PAIRSCOUT_HELP_BOOK_DIR ""
#endif

namespace {

namespace fs = std::filesystem;

// A mask of the book with files below the start folder that it takes and files it leaves,
// written with "/": on Windows every "/" is read as "\".
struct Example {
    std::vector<std::string> taken;
    std::vector<std::string> left;
};

const std::map<std::string, Example>& Examples() {
    static const std::map<std::string, Example> examples = {
        {"*.", {{"README", "src/Makefile"}, {"a.txt", "x/b.c"}}},
        {"*.*", {{"a.txt", "README", "x/y/z.log"}, {}}},
        {"*.txt", {{"a.txt", "x/b.TXT", "x/y/c.txt"}, {"a.txt.bak", "txt", "x/a.doc"}}},
        {"*.*;~*.tmp", {{"a.txt", "x/b.log", "tmp"}, {"a.tmp", "x/y/b.TMP"}}},
        {"*.jpg;*.png", {{"a.jpg", "x/b.PNG"}, {"a.gif", "jpg"}}},
        {"/temp/*.log", {{"temp/a.log", "TEMP/b.log"},
                         {"temp/x/a.log", "x/temp/a.log", "a.log", "temp/a.txt", "temps/a.log"}}},
        {"/*/temp/*.log", {{"temp/a.log", "x/temp/a.log", "x/y/temp/a.log"},
                           {"temp/x/a.log", "a.log", "x/a.log", "x/mytemp/a.log"}}},
        {"/temp/*/*.log", {{"temp/a.log", "temp/x/a.log", "temp/x/y/a.log"},
                           {"x/temp/a.log", "a.log", "temp/a.txt"}}},
        {"/*/temp/*/*.log", {{"temp/a.log", "x/temp/a.log", "x/temp/y/z/a.log"},
                             {"a.log", "x/a.log", "temps/a.log", "x/temp/a.txt"}}},
        {"/*.txt", {{"a.txt"}, {"x/a.txt", "a.doc"}}},
        {"/*/文档/*/*.txt", {{"文档/a.txt", "家/文档/笔记/a.txt"},
                             {"家/a.txt", "文档/a.doc", "旧文档/a.txt"}}},
        {"*.*;~/*/cache/*/", {{"a.txt", "x/a.txt", "cached/a.txt"},
                              {"cache/a.txt", "x/cache/y/a.txt", "x/cache/b"}}},
    };
    return examples;
}

std::string Native(std::string text) {
    for (char& c : text)
        if (c == '/') c = platform::kPathSeparator;
    return text;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Unescaped(std::string text) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
    for (const auto& [entity, plain] : entities)
        for (std::size_t at = text.find(entity); at != std::string::npos;
             at = text.find(entity, at + 1))
            text.replace(at, std::string(entity).size(), plain);
    return text;
}

// The pages of one book (the Chinese one in the folder, the English one in en/).
std::vector<fs::path> Pages(const fs::path& folder) {
    std::vector<fs::path> pages;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) pages.push_back(entry.path());
    return pages;
}

// The example masks of one book: the text of every <tt class="mask">.
std::set<std::string> MasksOf(const fs::path& folder) {
    // Found by hand: std::regex trips GCC 12's uninitialised-use warning in the sanitizer build.
    static const std::string open = "<tt class=\"mask\">", close = "</tt>";
    std::set<std::string> masks;
    for (const fs::path& page : Pages(folder)) {
        const std::string text = ReadFile(page);
        for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
            at += open.size();
            const std::size_t end = text.find(close, at);
            if (end == std::string::npos) break;
            masks.insert(Unescaped(text.substr(at, end - at)));
        }
    }
    return masks;
}

bool Admitted(const std::string& mask, const std::string& root, const std::string& below) {
    MaskList masks;
    masks.Build(mask);
    masks.SetScanRoot(root);
    return masks.IsAdmitted(root + below);
}

TEST(HelpBook, EveryExampleMaskTakesWhatItsPageSays) {
    const fs::path book = fs::u8path(PAIRSCOUT_HELP_BOOK_DIR);
    ASSERT_TRUE(fs::exists(book / "pairscout.hhp")) << book.u8string();
    ASSERT_TRUE(fs::exists(book / "en" / "pairscout.hhp"));
    const std::set<std::string> chinese = MasksOf(book);
    const std::set<std::string> english = MasksOf(book / "en");
    // Both books give the same examples, and there are enough to mean something.
    EXPECT_EQ(chinese, english);
    EXPECT_GE(chinese.size(), 10u);

    const std::string root = Native("/srv/data/");
    std::set<std::string> known;
    for (const auto& [mask, example] : Examples()) known.insert(Native(mask));
    for (const std::string& mask : chinese) {
        SCOPED_TRACE(mask);
        // An example nobody has checked is a failure: add it to Examples().
        EXPECT_EQ(known.count(mask), 1u) << "an example of the book that is not checked here";
    }
    for (const auto& [posixMask, example] : Examples()) {
        const std::string mask = Native(posixMask);
        SCOPED_TRACE(mask);
        EXPECT_EQ(chinese.count(mask), 1u) << "checked here but not in the book";
        for (const std::string& path : example.taken)
            EXPECT_TRUE(Admitted(mask, root, Native(path))) << path;
        for (const std::string& path : example.left)
            EXPECT_FALSE(Admitted(mask, root, Native(path))) << path;
    }
}

TEST(HelpBook, NoMarkerAndNoFormOfTheOtherPlatformIsLeft) {
    const fs::path book = fs::u8path(PAIRSCOUT_HELP_BOOK_DIR);
#ifdef _WIN32
    const std::vector<std::string> foreign = {"//server", "/*/", "/temp/", "/*.txt", "/home"};
    const std::vector<std::string> own = {"\\\\server", "\\*\\temp\\*\\*.log", "C:\\"};
#else
    const std::vector<std::string> foreign = {"\\\\server", "\\*\\", "\\temp\\", "\\*.txt", "C:\\"};
    const std::vector<std::string> own = {"//server", "/*/temp/*/*.log", "<tt>/</tt>"};
#endif
    for (const fs::path& folder : {book, book / "en"}) {
        std::string all;
        const std::vector<fs::path> pages = Pages(folder);
        ASSERT_GE(pages.size(), 8u) << folder.u8string();
        for (const fs::path& page : pages) {
            const std::string text = ReadFile(page);
            SCOPED_TRACE(page.u8string());
            EXPECT_EQ(text.find("{{"), std::string::npos);
            EXPECT_EQ(text.find("}}"), std::string::npos);
            for (const std::string& form : foreign) EXPECT_EQ(text.find(form), std::string::npos) << form;
            all += text;
        }
        for (const std::string& form : own) EXPECT_NE(all.find(form), std::string::npos) << form;
    }
}

// The rows of the results page's table of actions, each as the text of its cells.
std::vector<std::string> ActionRowsOf(const fs::path& page) {
    const std::string text = ReadFile(page);
    const std::size_t begin = text.find("<table class=\"actions\">");
    const std::size_t end = text.find("</table>", begin);
    std::vector<std::string> rows;
    if (begin == std::string::npos || end == std::string::npos) return rows;
    for (std::size_t at = text.find("<tr><td>", begin); at < end; at = text.find("<tr><td>", at + 1))
        rows.push_back(text.substr(at, text.find("</tr>", at) - at));
    return rows;
}

// The book's table of actions is the program's: one row per action in its order, under the
// name the window gives it, with the option that asks for it on the command line (and the
// command line takes that option for that action).
TEST(HelpBook, TheTableOfActionsNamesEveryActionAsTheProgramDoes) {
    const fs::path book = fs::u8path(PAIRSCOUT_HELP_BOOK_DIR);
    const std::vector<std::string> chinese = ActionRowsOf(book / "results.html");
    const std::vector<std::string> english = ActionRowsOf(book / "en" / "results.html");
    const std::vector<ActionKindInfo>& kinds = ActionKinds();
    ASSERT_EQ(chinese.size(), kinds.size());
    ASSERT_EQ(english.size(), kinds.size());
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        SCOPED_TRACE(kinds[i].word);
        const std::string option = std::string("<tt>") + kinds[i].option + "</tt>";
        EXPECT_EQ(chinese[i].find(std::string("<tr><td>") + LoadStringText(kinds[i].verbText) + "</td>"), 0u)
            << chinese[i];
        EXPECT_NE(chinese[i].find(option), std::string::npos) << chinese[i];
        EXPECT_NE(english[i].find(option), std::string::npos) << english[i];

        std::vector<std::string> args;
        std::string word;
        for (const char* c = kinds[i].option; ; ++c) {
            if (*c == ' ' || *c == '\0') {
                args.push_back(word);
                word.clear();
                if (*c == '\0') break;
            } else {
                word += *c;
            }
        }
        if (kinds[i].kind == DuplicateActionKind::kMove) args.push_back(Native("/tmp/moved"));
        args.push_back(Native("/tmp"));
        CliOptions options;
        std::string error;
        ASSERT_TRUE(ParseCliOptions(args, &options, &error)) << error;
        EXPECT_TRUE(options.act);
        EXPECT_EQ(options.action, kinds[i].kind);
    }
}

}  // namespace
