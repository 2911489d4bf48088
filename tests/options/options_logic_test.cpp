// The options' plain logic, without a window: the path list and the picker's ";" rules, the
// filters page's conversions and checks, and the mask editor's entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/search/date_value.h"
#include "engine/search/duplicate_search.h"
#include "options/filter_fields.h"
#include "options/kv_file_dialog.h"
#include "options/mask_entries.h"
#include "options/path_picker_text.h"
#include "options/paths_list.h"
#include "options/options_test_support.h"
#include "support/temp_dir.h"

using optionstest::DateText;
using optionstest::Native;

namespace {

using Strings = std::vector<std::string>;

TEST(PathsListTest, LoadKeepsEveryItemAndSelectsTheLast) {
    PathsList list;
    list.Load({"/a/", "", "/b;c/"});
    EXPECT_EQ(list.Items(), (Strings{"/a/", "", "/b;c/"}));
    EXPECT_EQ(list.Selection(), 2);
    list.Load({});
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Selection(), -1);
}

TEST(PathsListTest, AppendReplaceAndDeleteKeepTheSelectionRules) {
    PathsList list;
    list.Load({"/a/", "/b/", "/c/"});
    list.Select(0);
    list.Append(Native("/data"));
    list.Append("/");
    EXPECT_EQ(list.Items(), (Strings{"/a/", "/b/", "/c/", Native("/data/"), "/"}));
    EXPECT_EQ(list.Selection(), 0) << "adding does not move the selection";

    EXPECT_TRUE(list.ReplaceSelected(Native("/x")));
    EXPECT_EQ(list.Items()[0], Native("/x/"));

    list.Select(4);  // the last: the new last is selected
    EXPECT_TRUE(list.DeleteSelected());
    EXPECT_EQ(list.Selection(), 3);
    list.Select(0);  // the first: the new first is selected
    EXPECT_TRUE(list.DeleteSelected());
    EXPECT_EQ(list.Selection(), 0);
    EXPECT_EQ(list.Items(), (Strings{"/b/", "/c/", Native("/data/")}));

    list.Load({"/only/"});
    EXPECT_TRUE(list.DeleteSelected());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_FALSE(list.DeleteSelected());
    EXPECT_FALSE(list.ReplaceSelected("/y"));
    EXPECT_EQ(list.SelectedText(), "");
}

TEST(PathPickerTextTest, SemicolonPrefixRulesAndInitialFolder) {
    PathPickerText text;
    // An item of the Paths page is one path: its ";" belongs to the name.
    text.SetSinglePath(Native("/semi/a;b/"));
    EXPECT_EQ(text.InitialFolder(), Native("/semi/a;b"));
    EXPECT_TRUE(text.ListPrefix().empty());
    text.SetChosen(Native("/c/"));
    EXPECT_EQ(text.GetPath(), Native("/c/"));

    text.SetPath("A;B;");
    EXPECT_EQ(text.Path(), "B");
    text.SetChosen("X");
    EXPECT_EQ(text.GetPath(), "A;B;X");

    text.SetPath("A;B");
    EXPECT_EQ(text.Path(), "B");
    text.SetChosen("X");
    EXPECT_EQ(text.GetPath(), "A;X");

    text.SetPath("B;");
    EXPECT_EQ(text.Path(), "B");
    text.SetChosen("X");
    EXPECT_EQ(text.GetPath(), "B;X");

    text.SetPath(Native("/data/"));
    EXPECT_EQ(text.ListPrefix(), "");
    EXPECT_EQ(text.InitialFolder(), Native("/data"));
    EXPECT_EQ(text.GetPath(), Native("/data/")) << "unchanged until a choice is made";
#ifdef _WIN32
    text.SetPath("C:\\");
    EXPECT_EQ(text.InitialFolder(), "C:\\");
#else
    text.SetPath("/");
    EXPECT_EQ(text.InitialFolder(), "/");
#endif
    text.SetPath("");
    EXPECT_EQ(text.InitialFolder(), "");

    // The folder the chooser opens on is one that is there: the edited one, the nearest one
    // above it, else home (the keyword, a server, a path with no root, or only the root left).
    TempDir temp;
    const std::string photos = temp.MakeDir("照片");
    const std::string home = Native("/home/user");
    text.SetSinglePath(photos);
    EXPECT_EQ(text.StartFolder(home), text.InitialFolder());
    text.SetSinglePath(photos + Native("2021/夏天/"));
    EXPECT_EQ(text.StartFolder(home), photos.substr(0, photos.size() - 1));
    text.SetSinglePath(photos + Native("gone") + Native("//"));
    EXPECT_EQ(text.StartFolder(home), photos.substr(0, photos.size() - 1));
    EXPECT_EQ(ExistingFolderOrHome(photos, home), photos);
    for (const std::string& nowhere : {std::string("本地硬盘"), std::string(), Native("//server"),
                                       std::string("relative"), Native("/nowhere-at-all/x/")}) {
        SCOPED_TRACE(nowhere);
        EXPECT_EQ(ExistingFolderOrHome(nowhere, home), home);
    }
#ifdef _WIN32
    EXPECT_EQ(ExistingFolderOrHome("C:\\", home), "C:\\");
#else
    EXPECT_EQ(ExistingFolderOrHome("/", home), "/");
#endif

    EXPECT_EQ(FolderWithSeparator(Native("/data")), Native("/data/"));
    EXPECT_EQ(FolderWithSeparator(Native("/data/")), Native("/data/"));
    EXPECT_EQ(FolderWithSeparator(""), "");
}

TEST(KVFileDialogTextTest, FileNameSplitExtensionAndFilter) {
    std::string folder, name;
    SplitAtLastSeparator(Native("/out/list.csv"), &folder, &name);
    EXPECT_EQ(folder, Native("/out/"));
    EXPECT_EQ(name, "list.csv");
    SplitAtLastSeparator("list.csv", &folder, &name);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(name, "list.csv");

    EXPECT_EQ(AddDefaultExtension(Native("/out/list"), "csv"), Native("/out/list.csv"));
    EXPECT_EQ(AddDefaultExtension(Native("/out/list.txt"), "csv"), Native("/out/list.txt"));
    EXPECT_EQ(AddDefaultExtension(Native("/o.d/list"), "csv"), Native("/o.d/list.csv"));
    EXPECT_EQ(AddDefaultExtension(Native("/out/list"), ""), Native("/out/list"));
    EXPECT_EQ(WildcardFromFilter("CSV (*.csv)|*.csv||"), "CSV (*.csv)|*.csv");
}

TEST(FilterFieldsTest, TriStatesRoundTrip) {
    FilterFields fields;
    SearchFilter filter;  // as constructed: nothing wanted, every attribute ignored
    fields.CopyIn(filter);
    for (int state : {fields.m_nHidden, fields.m_nDirectory, fields.m_nReadOnly,
                      fields.m_nSystem, fields.m_nArchive})
        EXPECT_EQ(state, FilterFields::kIndeterminate);
    SearchFilter back;
    back.m_dwIgnoreAttrs = 0;
    back.m_dwAttrStates = 0xFF;
    fields.CopyBack(back);
    EXPECT_EQ(back.m_dwIgnoreAttrs, 0x37u);
    EXPECT_EQ(back.m_dwAttrStates, 0u);
    EXPECT_EQ(back.RejectsAttributes(0x02), 0);
    EXPECT_EQ(back.RejectsAttributes(0x00), 0);

    fields.m_nHidden = FilterFields::kChecked;
    fields.CopyBack(back);
    EXPECT_EQ(back.m_dwAttrStates, 0x02u);
    EXPECT_EQ(back.m_dwIgnoreAttrs, 0x35u);
    EXPECT_EQ(back.RejectsAttributes(0x02), 1) << "hidden files are left out";
    EXPECT_EQ(back.RejectsAttributes(0x00), 0);

    // Unchecked boxes are examined too: read-only off, directory on, archive ignored.
    SearchFilter wanted;
    wanted.m_dwAttrStates = 0x10;
    wanted.m_dwIgnoreAttrs = 0x20;
    wanted.m_nMode = 1;
    FilterFields other;
    other.CopyIn(wanted);
    EXPECT_EQ(other.m_nDirectory, FilterFields::kChecked);
    EXPECT_EQ(other.m_nReadOnly, FilterFields::kUnchecked);
    EXPECT_EQ(other.m_nArchive, FilterFields::kIndeterminate);
    EXPECT_EQ(other.m_bReverse, 1);
    EXPECT_EQ(other.m_bLeaveOutEmpty, 0);
    SearchFilter again;
    other.CopyBack(again);
    EXPECT_EQ(again.m_dwAttrStates, 0x10u);
    EXPECT_EQ(again.m_dwIgnoreAttrs, 0x20u);
    EXPECT_EQ(again.m_nMode, 1);
    EXPECT_FALSE(again.m_bLeaveOutEmpty);
    // The empty-files flag goes both ways.
    wanted.m_bLeaveOutEmpty = true;
    other.CopyIn(wanted);
    EXPECT_EQ(other.m_bLeaveOutEmpty, 1);
    other.CopyBack(again);
    EXPECT_TRUE(again.m_bLeaveOutEmpty);
}

TEST(FilterFieldsTest, SizeTextsAcceptedAndRefused) {
    struct Case {
        const char* text;
        std::int64_t value;  // -1: refused
    };
    const Case cases[] = {{"10K", 10240}, {"2m", 2097152}, {"15", 15}, {"", 0},
                          {"2047M", 2146435072}, {"10 K", -1}, {"1.5M", -1}, {"K", -1},
                          {"2048M", -1}};
    for (const Case& c : cases) {
        FilterFields fields;
        fields.m_strMinSize = c.text;
        FilterFields::Edit failed = FilterFields::kNoEdit;
        const int refusal = fields.StoreTexts(&failed);
        if (c.value < 0) {
            EXPECT_EQ(refusal, 2172) << c.text;
            EXPECT_EQ(failed, FilterFields::kMinSizeEdit) << c.text;
        } else {
            EXPECT_EQ(refusal, 0) << c.text;
            EXPECT_EQ(fields.m_nMinSize, c.value) << c.text;
        }
    }

    FilterFields fields;
    fields.m_strMinSize = "100";
    EXPECT_EQ(fields.StoreTexts(nullptr), 0) << "a minimum without a maximum";
    EXPECT_EQ(fields.m_nMinSize, 100);

    fields.m_strMinSize = "2K";
    fields.m_strMaxSize = "1K";
    FilterFields::Edit failed = FilterFields::kNoEdit;
    EXPECT_EQ(fields.StoreTexts(&failed), 2172);
    EXPECT_EQ(failed, FilterFields::kMaxSizeEdit);
    EXPECT_EQ(fields.m_nMinSize, 100) << "a refusal changes nothing";
    EXPECT_EQ(fields.m_nMaxSize, 0);

    // Shown in bytes; a stored limit above 2^31 - 1 shows its low 32 bits as a signed number.
    fields.m_nMinSize = 10240;
    fields.m_nMaxSize = 0x80000000LL;
    fields.m_strMaxSize = "typed";
    fields.LoadTexts();
    EXPECT_EQ(fields.m_strMinSize, "10240");
    EXPECT_EQ(fields.m_strMaxSize, "-2147483648");
}

TEST(FilterFieldsTest, DateTextsAndTheirFourRefusals) {
    struct Case {
        std::string text;
        int refusal;
    };
    const Case cases[] = {{"abc", 2122},
                          {DateText(5, 13, 2020), 2119},
                          {DateText(32, 1, 2020), IDS_INVALID_DAY},
                          {DateText(31, 4, 2020), IDS_INVALID_DAY},
                          {DateText(5, 1, 1500), 2121}};
    for (const Case& c : cases) {
        for (bool maxEdit : {false, true}) {
            FilterFields fields;
            (maxEdit ? fields.m_strMaxDate : fields.m_strMinDate) = c.text;
            FilterFields::Edit failed = FilterFields::kNoEdit;
            EXPECT_EQ(fields.StoreTexts(&failed), c.refusal) << c.text;
            EXPECT_EQ(failed, maxEdit ? FilterFields::kMaxDateEdit : FilterFields::kMinDateEdit);
        }
    }

    // The same day as both limits: from its first to its last second, local time.
    FilterFields fields;
    fields.m_strMinDate = DateText(15, 6, 2021);
    fields.m_strMaxDate = DateText(15, 6, 2021);
    ASSERT_EQ(fields.StoreTexts(nullptr), 0);
    EXPECT_EQ(fields.m_ftMaxDate - fields.m_ftMinDate, 86399 * platform::kFileTimeTicksPerSecond);
    CDateValue start;
    ASSERT_EQ(start.CheckDate(DateText(15, 6, 2021).c_str()), 0);
    EXPECT_EQ(fields.m_ftMinDate, start.ToFileTime(1));

    // "%%today" becomes a fixed date: the next showing displays it, not the keyword.
    FilterFields today;
    today.m_strMinDate = "%%today";
    ASSERT_EQ(today.StoreTexts(nullptr), 0);
    EXPECT_NE(today.m_ftMinDate, 0);
    today.LoadTexts();
    std::string expected;
    FormatShortDate(expected, 0);
    EXPECT_EQ(today.m_strMinDate, expected);

    EXPECT_EQ(FillTodayLabel("修改日期 (今天是 %s):", "01/02/03"), "修改日期 (今天是 01/02/03):");
    EXPECT_EQ(FillTodayLabel("修改日期 (今天是 01/02/03):", "09/09/09"),
              "修改日期 (今天是 01/02/03):");

    fields.m_bReverse = 1;
    fields.m_bLeaveOutEmpty = 1;
    fields.m_nHidden = FilterFields::kChecked;
    fields.Reset();
    EXPECT_EQ(fields.m_bLeaveOutEmpty, 0);
    EXPECT_EQ(fields.m_ftMinDate, 0);
    EXPECT_EQ(fields.m_strMinDate, "");
    EXPECT_EQ(fields.m_bReverse, 0);
    EXPECT_EQ(fields.m_nHidden, FilterFields::kIndeterminate);
    EXPECT_EQ(fields.m_dwIgnoreAttrs, 0x37u);
}

// The fields of an editor whose entry `index` is shown.
MaskEntries::Fields Shown(MaskEntries& entries, int index) {
    entries.SelectionChanged(index);
    return entries.m_fields;
}

TEST(MaskEntriesTest, DecodesAndEncodesPieces) {
    MaskEntries entries;
    entries.FillList("*.*;~*.tmp;" + Native("~/*/cache/*/*.dat;/temp/*.log"));
    ASSERT_EQ(entries.Count(), 4);
    EXPECT_EQ(entries.Selection(), 0);
    EXPECT_EQ(entries.CurrentEntry(), 0);
    MaskEntries::Fields f = entries.m_fields;
    EXPECT_EQ(f.m_nKind, 0);
    EXPECT_EQ(f.m_nDirMode, 0);
    EXPECT_EQ(f.m_strFileMatch, "*.*");

    f = Shown(entries, 1);
    EXPECT_EQ(f.m_nKind, 1);
    EXPECT_EQ(f.m_strFileMatch, "*.tmp");

    f = Shown(entries, 2);
    EXPECT_EQ(f.m_nKind, 1);
    EXPECT_EQ(f.m_nDirMode, 1);
    EXPECT_EQ(f.m_strFileMatch, "*.dat");
    EXPECT_EQ(f.m_strDirMatch, Native("/cache/"));
    EXPECT_EQ(f.m_bAnyLevel, 1);
    EXPECT_EQ(f.m_bSubfolders, 1);
    entries.Apply();
    EXPECT_EQ(entries.Entries()[2], Native("~/*/cache/*/*.dat"));

    f = Shown(entries, 3);
    EXPECT_EQ(f.m_strDirMatch, Native("/temp/"));
    EXPECT_EQ(f.m_bAnyLevel, 0);
    EXPECT_EQ(f.m_bSubfolders, 0);

    // A folder match typed without separators gets them.
    entries.m_fields = MaskEntries::Fields{};
    entries.m_fields.m_nKind = 0;
    entries.DirMatchChanged("temp");
    EXPECT_EQ(entries.m_fields.m_nDirMode, 1);
    entries.m_fields.m_strFileMatch = "*.log";
    entries.Apply();
    EXPECT_EQ(entries.Entries()[3], Native("/temp/*.log"));
    EXPECT_EQ(entries.m_fields.m_strDirMatch, Native("/temp/"));
    entries.DirMatchChanged("");
    EXPECT_EQ(entries.m_fields.m_nDirMode, 0);

    // The root folder with both boxes: stored as the root and the pattern, boxes cleared.
    entries.m_fields.m_nDirMode = 1;
    entries.m_fields.m_strDirMatch = Native("/");
    entries.m_fields.m_bAnyLevel = entries.m_fields.m_bSubfolders = 1;
    entries.m_fields.m_strFileMatch = "*.txt";
    entries.Apply();
    EXPECT_EQ(entries.Entries()[3], Native("/*.txt"));
    EXPECT_EQ(entries.m_fields.m_bAnyLevel, 0);
    EXPECT_EQ(entries.m_fields.m_bSubfolders, 0);

    // A folder without a file pattern, with and without its subfolders.
    entries.m_fields.m_strDirMatch = Native("/temp/");
    entries.m_fields.m_strFileMatch = "";
    EXPECT_EQ(entries.EncodeFields(), Native("/temp/"));
    entries.m_fields.m_bSubfolders = 1;
    EXPECT_EQ(entries.EncodeFields(), Native("/temp/*/"));
    // "All folders" ignores the folder text.
    entries.m_fields.m_nDirMode = 0;
    entries.m_fields.m_strFileMatch = "*.c";
    EXPECT_EQ(entries.EncodeFields(), "*.c");
}

TEST(MaskEntriesTest, EmptiedEntryIsRemovedOnSelectionChange) {
    MaskEntries entries;
    entries.FillList("a;b;c");
    entries.m_fields.m_strFileMatch = "";
    entries.m_fields.m_strDirMatch = "";
    entries.SelectionChanged(2);  // "a" was emptied: removed, and "c" is now entry 1
    EXPECT_EQ(entries.Entries(), (Strings{"b", "c"}));
    EXPECT_EQ(entries.Selection(), 1);
    EXPECT_EQ(entries.m_fields.m_strFileMatch, "c");

    // Edits reach the entry they were made for, also right after the list was filled.
    entries.FillList("a;b");
    entries.m_fields.m_strFileMatch = "a2";
    entries.SelectionChanged(1);
    EXPECT_EQ(entries.Entries(), (Strings{"a2", "b"}));
    // ... and after an Add, the new entry's edits do not overwrite the old one.
    entries.m_fields.m_strFileMatch = "new";
    entries.Add();
    EXPECT_EQ(entries.Entries(), (Strings{"a2", "b", "new"}));
    entries.m_fields.m_strFileMatch = "new2";
    entries.SelectionChanged(0);
    EXPECT_EQ(entries.Entries(), (Strings{"a2", "b", "new2"}));
}

TEST(MaskEntriesTest, ListOperationsAndTheMaskText) {
    MaskEntries entries;
    entries.FillList("");
    EXPECT_EQ(entries.Count(), 0);
    EXPECT_EQ(entries.m_fields.m_nKind, -1) << "no kind radio checked";
    EXPECT_EQ(entries.m_fields.m_nDirMode, -1) << "no folder radio checked";
    EXPECT_FALSE(entries.CanDelete());
    EXPECT_FALSE(entries.CanApply());
    entries.Add();  // the controls describe nothing: the new entry goes again
    EXPECT_EQ(entries.Count(), 0);
    EXPECT_EQ(entries.BuildMaskString(), "");

    entries.m_fields.m_nKind = 1;
    entries.m_fields.m_strFileMatch = "*.bak";
    entries.Add();
    entries.m_fields.m_nKind = 0;
    entries.m_fields.m_strFileMatch = "*.c";
    entries.Insert();  // before the selected "~*.bak"
    EXPECT_EQ(entries.Entries(), (Strings{"*.c", "~*.bak"}));
    EXPECT_EQ(entries.Selection(), 0);
    EXPECT_TRUE(entries.CanMoveDown());
    EXPECT_FALSE(entries.CanMoveUp());

    entries.Down();
    EXPECT_EQ(entries.Entries(), (Strings{"~*.bak", "*.c"}));
    EXPECT_EQ(entries.Selection(), 1);
    entries.Down();  // already last: stays
    EXPECT_EQ(entries.Entries(), (Strings{"~*.bak", "*.c"}));
    entries.Up();
    EXPECT_EQ(entries.Entries(), (Strings{"*.c", "~*.bak"}));
    EXPECT_EQ(entries.Selection(), 0);

    // Moving an entry whose controls were emptied removes it and moves nothing else.
    entries.m_fields.m_strFileMatch = "";
    entries.Down();
    EXPECT_EQ(entries.Entries(), (Strings{"~*.bak"}));

    // Empty pieces from the text survive; the placeholder never reaches the text.
    entries.FillList("a;;b");
    EXPECT_EQ(entries.BuildMaskString(), "a;;b");
    entries.SelectionChanged(2);
    entries.m_fields.m_strFileMatch = "";
    entries.m_fields.m_strDirMatch = "";
    entries.Add();
    entries.SelectionChanged(2);
    EXPECT_EQ(entries.BuildMaskString(), "a;;b");
    entries.FillList("a; ;b");  // a lone blank is the placeholder
    EXPECT_EQ(entries.Count(), 3);
    EXPECT_EQ(entries.BuildMaskString(), "a;b");
    entries.Delete();
    entries.Delete();
    entries.Delete();
    EXPECT_EQ(entries.Count(), 0);
    EXPECT_EQ(entries.Selection(), -1);
    EXPECT_EQ(entries.BuildMaskString(), "");
}

}  // namespace
