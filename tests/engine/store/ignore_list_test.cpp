// The ignore list: groups kept by their content's identity across saves and searches, a damaged
// file refused and left as it is.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/results/results_model.h"
#include "engine/search/duplicate_search.h"
#include "engine/store/ignore_list.h"
#include "support/temp_dir.h"

namespace {

ResultsModel Searched(const std::string& folder) {
    SearchOptions options;
    options.paths = {folder};
    ResultsModel model;
    DuplicateSearch search(nullptr);
    EXPECT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    return model;
}

// The group of `model` that holds the file named `name`, or -1.
long GroupWith(const ResultsModel& model, const std::string& name) {
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        if (model.Row(row).record->Path().find(name) != std::string::npos)
            return static_cast<long>(model.GroupOf(row));
    return -1;
}

}  // namespace

TEST(IgnoreList, KeepsGroupsByContentAcrossReloadsAndSearches) {
    TempDir dir;
    // Two groups of the same size whose bytes differ: only the CRC tells them apart.
    dir.WriteFile("a/photo.jpg", "AAAAAAAAAAAAAAAA");
    dir.WriteFile("b/photo copy.jpg", "AAAAAAAAAAAAAAAA");
    dir.WriteFile("a/notes.txt", "BBBBBBBBBBBBBBBB");
    dir.WriteFile("b/notes.txt", "BBBBBBBBBBBBBBBB");
    const std::string listPath = IgnoreList::FilePathIn(dir.MakeDir("config"));

    ResultsModel first = Searched(dir.Path() + "a");
    ResultsModel both = Searched(dir.Path());
    ASSERT_EQ(first.GroupCount(), 0u);
    ASSERT_EQ(both.GroupCount(), 2u);
    const long photos = GroupWith(both, "photo.jpg");
    ASSERT_GE(photos, 0);
    const GroupIdentity photo = IdentityOfGroup(both, static_cast<std::size_t>(photos));
    const GroupIdentity notes = IdentityOfGroup(both, static_cast<std::size_t>(1 - photos));
    EXPECT_EQ(photo.size, notes.size);
    EXPECT_NE(photo.crc, notes.crc);

    IgnoreList list;
    std::string error;
    ASSERT_TRUE(list.Load(listPath, &error)) << error;  // no file yet: an empty list
    EXPECT_TRUE(list.Groups().empty());
    EXPECT_TRUE(list.Add({photo, dir.Path() + "a/photo.jpg", 1700000000}));
    EXPECT_FALSE(list.Add({photo, "elsewhere", 0}));  // once only
    ASSERT_TRUE(list.Save(&error)) << error;

    // Read back in a new list, as the next start of the program does.
    IgnoreList reloaded;
    ASSERT_TRUE(reloaded.Load(listPath, &error)) << error;
    ASSERT_EQ(reloaded.Groups().size(), 1u);
    EXPECT_EQ(reloaded.Groups()[0].identity, photo);
    EXPECT_EQ(reloaded.Groups()[0].example, dir.Path() + "a/photo.jpg");
    EXPECT_EQ(reloaded.Groups()[0].when, 1700000000);
    EXPECT_FALSE(reloaded.Contains(notes));

    // A later search, with the photo's bytes under other names too: that group leaves, the
    // group of the same size but another CRC stays whole.
    dir.WriteFile("c/renamed.jpg", "AAAAAAAAAAAAAAAA");
    ResultsModel later = Searched(dir.Path());
    ASSERT_EQ(later.GroupCount(), 2u);
    EXPECT_EQ(reloaded.FilterResults(later), 1u);
    ASSERT_EQ(later.GroupCount(), 1u);
    EXPECT_EQ(later.RowCount(), 2u);
    EXPECT_EQ(IdentityOfGroup(later, 0), notes);
    EXPECT_EQ(GroupWith(later, ".jpg"), -1);
    EXPECT_EQ(later.DuplicateCount(), 1);

    // Taken back: the next search lists it again, and so does the list read after the save.
    EXPECT_TRUE(reloaded.Remove(photo));
    EXPECT_FALSE(reloaded.Remove(photo));
    ASSERT_TRUE(reloaded.Save(&error)) << error;
    IgnoreList empty;
    ASSERT_TRUE(empty.Load(listPath, &error)) << error;
    EXPECT_TRUE(empty.Groups().empty());
    ResultsModel again = Searched(dir.Path());
    EXPECT_EQ(empty.FilterResults(again), 0u);
    EXPECT_EQ(again.GroupCount(), 2u);
}

TEST(IgnoreList, RefusesDamagedFilesAndLeavesThemAsTheyAre) {
    TempDir dir;
    const GroupIdentity id{4096, 0xdeadbeef, 0x00c0ffee};
    const std::string good = IgnoreList::Format({{id, "/x/y \"quoted\"\n", 5}});
    std::vector<IgnoredGroup> parsed;
    std::string error;
    ASSERT_TRUE(IgnoreList::Parse(good, &parsed, &error)) << error;
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0].identity, id);
    EXPECT_EQ(parsed[0].example, "/x/y \"quoted\"\n");

    const std::vector<std::string> damaged = {
        "",
        good.substr(0, good.size() / 2),  // cut short
        "{\"version\": 2, \"groups\": []}",
        "{\"version\": 1}",
        "{\"version\": 1, \"groups\": [{\"size\": 1, \"crc\": \"0000000g\", \"checksum\": \"00000000\"}]}",
        "{\"version\": 1, \"groups\": [{\"size\": -1, \"crc\": \"00000000\", \"checksum\": \"00000000\"}]}",
        "{\"version\": 1, \"groups\": [{\"size\": 1, \"checksum\": \"00000000\"}]}",
        "{\"version\": 1, \"groups\": [7]}",
        "[1, 2]",
        good + "x",
    };
    for (const std::string& text : damaged) {
        SCOPED_TRACE(text);
        std::vector<IgnoredGroup> out = parsed;
        error.clear();
        EXPECT_FALSE(IgnoreList::Parse(text, &out, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(out.size(), 1u);  // untouched

        const std::string path = dir.WriteFile("ignored.json", text);
        IgnoreList list;
        EXPECT_FALSE(list.Load(path, &error));
        EXPECT_TRUE(list.Groups().empty());
        EXPECT_EQ(ReadWholeFile(path), text);  // refused, not rewritten
    }
    // A later version's extra members are passed over.
    ASSERT_TRUE(IgnoreList::Parse("{\"version\": 1, \"note\": {\"a\": [1]}, \"groups\": [{\"size\": 3, "
                                  "\"crc\": \"0000000A\", \"checksum\": \"00000001\", \"tag\": null}]}",
                                  &parsed, &error))
        << error;
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0].identity, (GroupIdentity{3, 10, 1}));
}
