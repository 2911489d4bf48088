// The one list of texts: ids and names unique, every format text with its typed formatter, and
// no text of the program left as a literal outside the list.
#include <cctype>
#include <cinttypes>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/text/string_table.h"
#include "engine/text/text_format.h"

namespace {

bool ValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = 0;
        if (c >= 0xC2 && c < 0xE0) extra = 1;
        else if (c >= 0xE0 && c < 0xF0) extra = 2;
        else if (c >= 0xF0 && c < 0xF5) extra = 3;
        else if (c >= 0x80) return false;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= text.size()) return false;
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

bool IsName(const char* name) {
    if (std::strncmp(name, "IDS_", 4) != 0 || name[4] == '\0') return false;
    for (const char* p = name + 4; *p != '\0'; ++p) {
        if (!((*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9') || *p == '_')) return false;
    }
    return true;
}

// True when `text` holds a directive of printf ("%d", "%.2lf", ...) or of the framework's
// messages ("%1"); "%%" is none.
bool HasDirective(const std::string& text) {
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 2)) {
        if (at + 1 < text.size() && text[at + 1] != '%') return true;
    }
    return false;
}

TEST(TextList, IdsAndNamesAreUniqueAndEveryEntryIsFound) {
    std::size_t count = 0;
    const StringTableEntry* table = StringTable(&count);
    ASSERT_GT(count, 150u);
    std::set<int> ids;
    std::set<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        const StringTableEntry& e = table[i];
        SCOPED_TRACE(e.name);
        EXPECT_TRUE(ids.insert(e.id).second) << "id used twice: " << e.id;
        EXPECT_TRUE(names.insert(e.name).second) << "name used twice";
        EXPECT_TRUE(IsName(e.name));
        if (i > 0) {
            EXPECT_LT(table[i - 1].id, e.id);  // the lookup is a binary search
        }
        EXPECT_GT(std::strlen(e.text), 0u);
        EXPECT_TRUE(ValidUtf8(e.text));
        EXPECT_EQ(LoadStringText(e.id), e.text);
        EXPECT_EQ(FindStringByName(e.name), &e);
    }
    EXPECT_EQ(FindStringByName("IDS_NO_SUCH_TEXT"), nullptr);
    EXPECT_EQ(FindStringByName(nullptr), nullptr);

    // The names are the enum constants, valued by their ids; the resource numbers the program
    // relies on stay.
    EXPECT_EQ(FindStringByName("IDS_APP_TITLE")->id, IDS_APP_TITLE);
    EXPECT_EQ(IDS_APP_TITLE, 57344);
    EXPECT_EQ(IDS_IDLE_MESSAGE, 57345);
    EXPECT_EQ(IDS_DOCUMENT_STRING, 128);
    EXPECT_EQ(IDS_PROMPT_FIND_DUPLICATES, 32780);
    EXPECT_EQ(IDS_COLUMN_CHECKSUM - IDS_COLUMN_NAME, 4);
    // The window's own labels, byte for byte.
    EXPECT_STREQ(LoadStringText(IDS_MENU_PRINT), "打印(&P)...\tCtrl+P");
    EXPECT_STREQ(LoadStringText(IDS_MASK_KIND_BOX), " 类型");
    EXPECT_STREQ(LoadStringText(IDS_FILTER_ATTRIBUTES_BOX), " 查找文件的属性: ");
    EXPECT_STREQ(LoadStringText(IDS_BUTTON_OK), "确定");
}

TEST(TextList, EveryFormatTextHasItsFormatterAndItsDirectivesMatch) {
    struct Sample {
        int id;
        std::string formatted;
        const char* expected;  // written by hand
    };
    const Sample samples[] = {
        {IDS_MEMORY_KB, FormatMemoryKb(123456ul), "123456 KB"},
        {IDS_FOUND_FILES_IN_FOLDERS, FormatFoundFilesInFolders(12, 3), "发现 12 个文件在 3 个目录中"},
        {IDS_CONFIRM_DELETE_PATH, FormatConfirmDeletePath("/tmp/a%sb %d"), "确定要删除 </tmp/a%sb %d>?"},
        {IDS_DUPLICATES_SUMMARY, FormatDuplicatesSummary(4, "1.50 MB"), "发现 4 个重复文件 (1.50 MB)"},
        {IDS_SIZE_BYTES, FormatSizeBytes(1023), "1023 字节"},
        {IDS_SIZE_KB, FormatSizeKb(12.4), "12 KB"},
        {IDS_SIZE_MB, FormatSizeMb(2.5), "2.50 MB"},
        {IDS_SIZE_GB, FormatSizeGb(3.254), "3.25 GB"},
        {IDS_CONFIRM_DELETE_FILES, FormatConfirmDeleteFiles(7), "你确定要删除 7 个文件吗?"},
        {IDS_DUPLICATES_RUNNING, FormatDuplicatesRunning(3, 5000000000),
         "发现 3 个重复的文件, 总共 5000000000 字节"},
        {IDS_CLI_UNREADABLE_FILES, FormatUnreadableFiles(2), "2 个文件不能完整读取, 未列出"},
        {IDS_CLI_LARGEST_SIZE, FormatLargestSize(2147483647, 2097151, 2047),
         "可接受的最大值: 2147483647 字节, 2097151K 或 2047M"},
        {IDS_CLI_WRITE_FAILED, FormatWriteFailed("No space left"), "不能写入标准输出: No space left"},
        {IDS_DELETE_KEPT_MORE, FormatDeleteKeptMore(5), "还有 5 个文件没有被删除"},
        {IDS_DELETE_COPY_CHANGED_BACK, FormatCopyChangedBack("/k/a"),
         "保留的副本在删除期间已改变, 此文件已放回: /k/a"},
        {IDS_DELETE_COPY_CHANGED_TRASH, FormatCopyChangedTrash("/k/a"),
         "保留的副本在删除期间已改变, 此文件在回收站中: /k/a"},
        {IDS_DELETE_COPY_CHANGED_GONE, FormatCopyChangedGone("/k/a"),
         "此文件已删除, 但保留的副本在删除期间已改变: /k/a"},
        {IDS_SKIPPED_MORE, FormatSkippedMore(9), "还有 9 个位置被跳过"},
        {IDS_CLI_DRY_RUN_SUMMARY, FormatDryRunSummary(3, "12 KB"), "将删除 3 个文件, 可释放 12 KB"},
        {IDS_CSV_REPLACE_FILE, FormatReplaceFile("/tmp/%s.csv"), "/tmp/%s.csv 已经存在。\n要替换它吗?"},
        {IDS_DATE_FORMS, FormatDateForms("31.01.2024", "2024-01-31", "2024年1月31日"),
         "请按 31.01.2024、2024-01-31 或 2024年1月31日 的形式输入日期"},
        {IDS_FILTER_MODIFIED_TODAY, FormatModifiedToday("01/02/03"), "修改日期 (今天是 01/02/03):"},
        {IDS_PROPERTIES_SIZE_BYTES, FormatPropertiesSize(18446744073709551615ull),
         "18446744073709551615 字节"},
        {IDS_ABOUT_TITLE, FormatAboutTitle("2.3"), "Pairscout \n 版本 2.3"},
        {IDS_CANNOT_WRITE_FILE, FormatCannotWriteFile("/tmp/%1.csv"),
         "不能写入 /tmp/%1.csv, 它是只读文件或正被使用."},
        {IDS_SELECTION_FREES, FormatSelectionFrees(4, "1.5 MB"), "已选择 4 个文件, 可释放 1.5 MB"},
        {IDS_UNDO_KEPT_MORE, FormatUndoKeptMore(2), "还有 2 个文件没有恢复"},
        {IDS_ACTION_CANNOT_SHARE, FormatCannotShare("Operation not supported"),
         "此文件系统不能共享数据块: Operation not supported"},
        {IDS_ACTION_TARGET_EXISTS, FormatTargetExists("/m/%s"), "目标已存在, 不覆盖: /m/%s"},
        {IDS_ACTION_LEFT_AT, FormatLeftAt("/d/.f.0123456789ab.pairscout"),
         "此文件未能放回原处, 现在在: /d/.f.0123456789ab.pairscout"},
        {IDS_LEFTOVER_PUT_BACK, FormatLeftoverPutBack("/d/%s"), "已放回原处: /d/%s"},
        {IDS_LEFTOVER_SPARE_REMOVED, FormatLeftoverSpareRemoved("/d/.f.0123456789ab.pairscout", "/d/f"),
         "已删除多余的名字: /d/.f.0123456789ab.pairscout (与 /d/f 是同一个文件)"},
        {IDS_LEFTOVER_LEFT, FormatLeftoverLeft("/d/.f.0123456789ab.pairscout", "/d/f"),
         "未处理, 原名已被另一个文件占用: /d/.f.0123456789ab.pairscout (原名 /d/f)"},
        {IDS_LEFTOVER_COPY_REMOVED, FormatLeftoverCopyRemoved("/m/.f.0123456789ab.pairscout"),
         "已删除未完成的副本: /m/.f.0123456789ab.pairscout"},
        {IDS_LEFTOVER_RECORD_REMOVED, FormatLeftoverRecordRemoved("/t/info/f.trashinfo"),
         "已删除未完成的回收站记录: /t/info/f.trashinfo"},
        {IDS_LEFTOVER_IN_TRASH, FormatLeftoverInTrash("/t/files/f", "/d/f"),
         "未处理, 文件在回收站中: /t/files/f (原名 /d/f)"},
        {IDS_LEFTOVER_MORE, FormatLeftoverMore(3), "还有 3 项"},
        {IDS_FOLDER_STAYS, FormatFolderStays("/b/%d", "它不在结果中"), "文件夹整个保留, 因为 /b/%d: 它不在结果中"},
        {IDS_FOLDERS_REMOVED, FormatFoldersRemoved(4), "4 个空文件夹已删除"},
        {IDS_FOLDER_HOLDER, FormatFolderHolder(3), "存有其中 3 个文件的副本"},
        {IDS_CONFIRM_FOLDERS, FormatConfirmFolders("移动", 2, 5, "8 KB"),
         "要移动这 2 个文件夹吗? 共 5 个文件, 8 KB。\n文件夹中任何一个文件不能处理, 这个文件夹就整个保留。"},
        {IDS_FOLDER_COUNT, FormatFolderCount(1, 2), "1 组相同的文件夹, 2 个文件夹的全部文件已在别处"},
        {IDS_MENU_UNDO_STEP, FormatUndoStep("移动", 3), "撤销移动 3 个文件(&U)"},
        {IDS_UNDO_DONE, FormatUndoDone(2, "1.5 KB"), "已恢复 2 个文件, 共 1.5 KB"},
        {IDS_SEARCH_FOUND_NONE, FormatSearchFoundNone(120, 7), "没有发现重复的文件: 查看了 120 个文件, 其中 7 个被筛选条件排除"},
        {IDS_REASON_GROUP, FormatReasonGroup("为什么", 18), "为什么 (18 个):"},
        {IDS_TIED_GROUPS_QUESTION, FormatTiedGroupsQuestion(4), "4 组的文件没有规则可以区分 (保留原因: 无规则可区分), 保留哪一份只按找到的顺序。\n也选择这些组中的重复文件吗?"},
        {IDS_TIED_GROUPS_LEFT, FormatTiedGroupsLeft(4), "4 组无规则可区分, 没有选择"},
        {IDS_FOLDER_NOT_MADE, FormatFolderNotMade("权限不够"), "不能重建这个文件夹: 权限不够"},
        {IDS_PROTECTED_SHARE, FormatProtectedShare(2), ", 其中 2 个在受保护的文件夹中"},
        {IDS_PREVIEW_CANNOT_READ, FormatPreviewCannotRead("权限不够"), "不能读取此文件: 权限不够"},
        {IDS_PREVIEW_PICTURE_SIZE, FormatPictureSize(640, 480), "640 × 480 像素"},
        {IDS_IGNORE_DAMAGED, FormatIgnoreDamaged("/c/i.json", "line 1"), "忽略列表 /c/i.json 不能读取, 没有使用: line 1"},
        {IDS_IGNORE_NOT_SAVED, FormatIgnoreNotSaved("/c/i.json", "磁盘已满"), "不能保存忽略列表 /c/i.json: 磁盘已满"},
        {IDS_IGNORE_LEFT_OUT, FormatIgnoreLeftOut(3), "  3 组已忽略"},
        {IDS_ACTION_COPY_CHANGED, FormatReplacedCopyChanged("/k/a"),
         "已替换, 但保留的副本在替换期间已改变: /k/a"},
        {IDS_CLI_ACTION_PLAN, FormatActionPlan("移动", 2, "8 KB"), "将移动 2 个文件, 共 8 KB"},
        {IDS_CLI_ACTION_DONE, FormatActionDone("替换为硬链接", 4, "1.00 GB"),
         "已替换为硬链接 4 个文件, 共 1.00 GB"},
        {IDS_CLI_ACTION_FREED, FormatActionFreed("1.00 GB"), "文件系统的可用空间增加了 1.00 GB"},
        {IDS_CLI_ACTION_REFUSED, FormatActionRefused(3), "3 个文件未被处理:"},
        {IDS_CLI_CONFIRM_DELETE, FormatConfirmDeleteForGood(6, "12 KB"),
         "永久删除 6 个文件 (12 KB)? 此操作无法撤销. [y/N] "},
        {IDS_CONFIRM_HARD_LINK, FormatConfirmHardLink(3, "700 字节"),
         "将 3 个重复文件 (共 700 字节) 替换为保留的副本的硬链接吗?"},
        {IDS_CONFIRM_SHARE_DATA, FormatConfirmShareData(2, "8 KB"),
         "让 2 个重复文件 (共 8 KB) 与保留的副本共享数据块吗?"},
        {IDS_CONFIRM_MOVE_TO, FormatConfirmMoveTo(1, "8 KB", "/m/%s"),
         "将 1 个重复文件 (共 8 KB) 移动到 /m/%s 吗?"},
        {IDS_ACTION_LEFT_MORE, FormatActionLeftMore(5), "还有 5 个文件未被处理"},
        {IDS_MOVE_INTO_PROTECTED, FormatMoveIntoProtected("/p"), "目标文件夹在受保护的文件夹中: /p"},
        {IDS_MENU_UNDO_ACTION, FormatUndoAction("移动"), "撤销移动(&U)"},
        {IDS_FIND_NOT_FOUND, FormatFindNotFound("a%sb"), "找不到 \"a%sb\""},
        {IDS_OPEN_FAILED, FormatOpenFailed("/x/%d.txt"),
         "无法打开 /x/%d.txt: 没有能打开这种文件的应用程序.\n要打开它所在的文件夹吗?"},
        {IDS_EXPLORE_FAILED, FormatExploreFailed("/x/a"),
         "无法显示 /x/a 所在的文件夹: 没有可用的文件管理器."},
        {IDS_PROGRESS_ELAPSED, FormatElapsed("1:02:03"), "已用时间 1:02:03"},
        {IDS_PROGRESS_ELAPSED_LEFT, FormatElapsedAndLeft("0:05", "12:00"),
         "已用时间 0:05, 剩余时间约 12:00"},
        {IDS_FILES_LOOKED, FormatFilesLooked(150000, 5000000000, "1.50 MB"),
         "已查看 150000 / 5000000000 个文件, 已读取 1.50 MB"},
        {IDS_PATH_REFUSED, FormatPathRefused("/a;b", "No such file or directory"),
         "不能添加路径 /a;b: No such file or directory"},
        {IDS_PRINT_PAGE_NUMBER, FormatPrintPageNumber(2, 17), "第 2 页, 共 17 页"},
        {IDS_PRINT_SEARCH_DATE, FormatPrintSearchDate("2026/12/9 20:15:07"),
         "搜索日期: 2026/12/9 20:15:07"},
        {IDS_LINK_NO_BROWSER, FormatLinkNoBrowser("https://a.example/%d"),
         "无法打开 https://a.example/%d: 没有可用的网页浏览器."},
        {IDS_LINK_NO_MAIL_PROGRAM, FormatLinkNoMailProgram("li@a.example"),
         "无法打开 li@a.example: 没有可用的邮件程序."},
        {IDS_PATH_EDIT_REFUSED, FormatPathEditRefused("/文档/旧", "it is not a folder"),
         "不能把路径改为 /文档/旧: it is not a folder"},
        {IDS_DISK_DECISION, FormatDiskDecision("vda", "旋转磁盘", "%s", 2),
         "磁盘 vda: 系统称其为旋转磁盘, 测量: %s, 从磁盘同时读取 2 个文件"},
        {IDS_DISK_CHOSEN, FormatDiskChosen("sda", 8), "磁盘 sda: 同时读取 8 个文件 (按用户的设置)"},
        {IDS_DISK_MEASURED, FormatDiskMeasured("固态存储", 0.256), "固态存储 (读取用时 0.26 毫秒)"},
        {IDS_CLI_READERS_RANGE, FormatReadersRange(64), "--readers 需要 1 到 64 之间的数"},
        {IDS_GROUPS_FROM_CACHE, FormatGroupsFromCache(3), "3 组来自缓存"},
        {IDS_CACHE_UNUSABLE, FormatCacheUnusable("file is not a database %d"),
         "缓存不能使用 (file is not a database %d), 搜索不用它继续"},
        {IDS_CACHE_CLEARED, FormatCacheCleared("/c/%s.sqlite"), "缓存已清空: /c/%s.sqlite"},
        {IDS_CACHE_NOT_CLEARED, FormatCacheNotCleared("/c/f", "Permission denied"),
         "缓存未能清空: /c/f (Permission denied)"},
        {IDS_IN_CATALOG, FormatInCatalog("/m/a", "备份"), "目录中: /m/a (备份)"},
        {IDS_RESULTS_NOT_OPENED, FormatResultsNotOpened("/r", "x"), "不能打开结果 /r: x"},
        {IDS_RESULTS_NEWER, FormatResultsNewer(3, 1), "它由更新的版本保存 (格式 3), 这个版本只能读格式 1"},
        {IDS_RESULTS_DAMAGED, FormatResultsDamaged("line 1"), "文件已损坏 (line 1)"},
        {IDS_RESULTS_NOT_SAVED, FormatResultsNotSaved("/r", "x"), "不能保存结果 /r: x"},
        {IDS_RESULTS_REOPENED, FormatResultsReopened(2), "2 个文件在保存后已改变或不存在, 它们不会被选择或处理"},
        {IDS_CATALOG_NOT_OPENED, FormatCatalogNotOpened("/c", "x"), "不能打开目录 /c: x"},
        {IDS_CATALOG_NOT_WRITTEN, FormatCatalogNotWritten("/c", "x"), "不能写目录 /c: x"},
        {IDS_CATALOG_WRITTEN, FormatCatalogWritten("/c", 4), "目录已写入: /c (4 个文件)"},
        {IDS_CATALOG_GROUPS, FormatCatalogGroups(4, "备份"), "4 个文件已在目录 备份 中: 它们只能移动到文件夹"},
        {IDS_MARK_HELD_BACK, FormatMarkHeldBack(2), "2 组的全部副本都会被选中, 每组保留了一个未选"},
        {IDS_FILTER_COUNT, FormatFilterCount(3, 213), "显示 3 / 213 组"},
        {IDS_FILTER_ON, FormatFilterOn(3), "筛选中: 只对显示的 3 组"},
    };
    std::set<int> covered;
    for (const Sample& s : samples) {
        EXPECT_EQ(s.formatted, s.expected) << s.id;
        EXPECT_TRUE(HasDirective(LoadStringText(s.id))) << s.id << " is not a format";
        covered.insert(s.id);
    }
    // A format text added to the list without a formatter (and a sample here) is caught.
    std::size_t count = 0;
    const StringTableEntry* table = StringTable(&count);
    for (std::size_t i = 0; i < count; ++i) {
        if (HasDirective(table[i].text)) {
            EXPECT_EQ(covered.count(table[i].id), 1u) << table[i].name << " has no formatter";
        }
    }

    // Texts of any length: a long path is not cut.
    const std::string path(5000, 'x');
    EXPECT_EQ(FormatConfirmDeletePath(path), "确定要删除 <" + path + ">?");
    EXPECT_EQ(FormatWriteFailed(""), "不能写入标准输出: ");
}

// Every string literal of C++ source `text` that holds a byte outside ASCII, with its line.
// Comments are skipped; escapes ("\xE4") are ASCII in the source and pass.
std::vector<std::pair<int, std::string>> NonAsciiLiterals(const std::string& text) {
    std::vector<std::pair<int, std::string>> found;
    int line = 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto scanQuoted = [&](char quote) {
        const int startLine = line;
        const std::size_t start = i++;
        bool nonAscii = false;
        while (i < n && text[i] != quote) {
            if (text[i] == '\\' && i + 1 < n) ++i;
            if (text[i] == '\n') ++line;
            if (static_cast<unsigned char>(text[i]) >= 0x80) nonAscii = true;
            ++i;
        }
        ++i;
        if (nonAscii) found.emplace_back(startLine, text.substr(start, i - start));
    };
    while (i < n) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            while (i < n && text[i] != '\n') ++i;
        } else if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            i += 2;
            while (i + 1 < n && !(text[i] == '*' && text[i + 1] == '/')) line += text[i++] == '\n';
            i += 2;
        } else if (c == 'R' && i + 1 < n && text[i + 1] == '"') {
            // Raw string: R"delim( ... )delim".
            const std::size_t open = text.find('(', i);
            if (open == std::string::npos) break;
            const std::string close = ")" + text.substr(i + 2, open - i - 2) + "\"";
            const std::size_t end = text.find(close, open);
            const std::size_t stop = end == std::string::npos ? n : end + close.size();
            const std::string literal = text.substr(i, stop - i);
            bool nonAscii = false;
            for (unsigned char b : literal) nonAscii = nonAscii || b >= 0x80;
            if (nonAscii) found.emplace_back(line, literal);
            for (char b : literal) line += b == '\n';
            i = stop;
        } else if (c == '"') {
            scanQuoted('"');
        } else if (c == '\'') {
            // A digit separator (1'000) is no character literal.
            const bool separator = i > 0 && std::isxdigit(static_cast<unsigned char>(text[i - 1]));
            if (separator) ++i;
            else scanQuoted('\'');
        } else {
            ++i;
        }
    }
    return found;
}

TEST(TextList, LiteralScannerFindsTextsAndSkipsComments) {
    const std::string source =
        "// \"注释\" in a comment\n"
        "/* \"块\"\n \"注释\" */ const char* a = \"ascii \\\"quoted\\\" \\xE4\";\n"
        "int n = 1'000; char c = 'x';\n"
        "const char* b = \"中文\";\n"
        "auto r = R\"x(raw \"文\" text)x\";\n";
    const auto found = NonAsciiLiterals(source);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].first, 5);
    EXPECT_EQ(found[0].second, "\"中文\"");
    EXPECT_EQ(found[1].first, 6);
}

#ifdef PAIRSCOUT_SOURCE_DIR
TEST(TextList, NoTextOfTheProgramIsALiteralOutsideTheList) {
    namespace fs = std::filesystem;
    const fs::path root(PAIRSCOUT_SOURCE_DIR);
    const fs::path list = root / "engine" / "text" / "text_list.h";
    ASSERT_TRUE(fs::exists(list)) << list;
    std::size_t scanned = 0;
    for (const char* folder : {"app", "cli", "engine", "gui", "options", "platform", "results", "ui"}) {
        if (!fs::exists(root / folder)) continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / folder)) {
            const fs::path& path = entry.path();
            const std::string ext = path.extension().string();
            if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp" && ext != ".in")) continue;
            if (fs::equivalent(path, list)) continue;
            std::ifstream in(path, std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            ++scanned;
            for (const auto& literal : NonAsciiLiterals(text.str()))
                ADD_FAILURE() << path.string() << ":" << literal.first << ": " << literal.second
                              << " belongs in engine/text/text_list.h";
        }
    }
    EXPECT_GT(scanned, 50u);
}
#endif

}  // namespace
