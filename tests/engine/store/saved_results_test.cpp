// Saved results and catalogs: a result reopens as it was saved, nothing changed since is
// trusted, a damaged or hostile file is refused whole, and a catalog's groups can only move.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "engine/actions/action_plan.h"
#include "engine/actions/apply_plan.h"
#include "engine/results/results_text.h"
#include "engine/search/duplicate_search.h"
#include "engine/store/catalog.h"
#include "engine/store/json_text.h"
#include "engine/store/saved_results.h"
#include "support/random_bytes.h"
#include "support/platform_rules.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

ResultsModel Searched(const SearchOptions& options) {
    ResultsModel model;
    DuplicateSearch search(nullptr);
    EXPECT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    return model;
}

std::vector<std::string> Paths(const ResultsModel& model) {
    std::vector<std::string> paths;
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        paths.push_back((model.IsGroupFirst(row) ? "| " : "") + model.Row(row).record->Path());
    return paths;
}

bool Reads(const std::string& text, ResultsModel* model, std::string* why,
           ReopenCounts* counts = nullptr) {
    SavedSearch search;
    ReopenCounts ignored;
    ReopenParts parts;
    parts.checkDisk = false;
    return ReadResultsDocument(text, model, &search, counts != nullptr ? counts : &ignored, why,
                               parts);
}

}  // namespace

TEST(SavedResults, AResultReopensAsSavedAndWhatChangedSinceIsNeverActedOn) {
    TempDir dir;
    const std::string bytes = RandomBytes(5000, 7), other = RandomBytes(800, 8);
    const std::string kept = dir.WriteFile("ref/photo.jpg", bytes);
    const std::string copy = dir.WriteFile("backup/photo.jpg", bytes);
    const std::string gone = Slashes(dir.WriteFile("backup/photo (1).jpg", bytes));
    const std::string small1 = Slashes(dir.WriteFile("a/note.txt", other));
    dir.WriteFile("b/note.txt", other);
    const std::string small3 = Slashes(dir.WriteFile("c/note.txt", other));
    SearchOptions options;
    options.paths = {dir.Path()};
    options.keep.protectedFolders = {dir / "ref"};
    ResultsModel model = Searched(options);
    ASSERT_EQ(model.GroupCount(), 2u);
    SavedSearch search;
    search.paths = options.paths;
    search.mask = "*.jpg;~x*";
    search.protect = options.keep.protectedFolders;
    model.SetSearchTime(123456789);
    const std::string text = FormatResultsDocument(model, &search);

    // Unchanged: the same rows, groups, reasons, protection and fingerprints.
    ResultsModel reopened;
    SavedSearch read;
    ReopenCounts counts;
    std::string why;
    ASSERT_TRUE(ReadResultsDocument(text, &reopened, &read, &counts, &why)) << why;
    EXPECT_EQ(Paths(reopened), Paths(model));
    EXPECT_EQ(read.paths, search.paths);
    EXPECT_EQ(read.mask, search.mask);
    EXPECT_EQ(read.protect, search.protect);
    EXPECT_EQ(reopened.SearchTime(), 123456789);
    EXPECT_EQ(counts.files, 6);
    EXPECT_EQ(counts.NotHere(), 0);
    for (std::size_t row = 0; row < model.RowCount(); ++row) {
        const ResultRow& a = model.Row(row);
        const ResultRow& b = reopened.Row(row);
        EXPECT_EQ(b.standing, kStandsHere) << b.record->Path();
        EXPECT_EQ(b.isProtected, a.isProtected);
        EXPECT_EQ(b.record->m_nSize, a.record->m_nSize);
        EXPECT_EQ(b.record->m_ftWrittenUtc, a.record->m_ftWrittenUtc);
        EXPECT_EQ(b.record->Identity(), a.record->Identity());
        EXPECT_EQ(b.record->m_dwCrc, a.record->m_dwCrc);
        if (a.showsDetails) {
            EXPECT_EQ(b.keptBy, a.keptBy);
        }
    }
    EXPECT_EQ(reopened.DuplicateRows(), model.DuplicateRows());
    EXPECT_EQ(reopened.DuplicateCount(), model.DuplicateCount());
    // Saved again, it is the same document.
    EXPECT_EQ(FormatResultsDocument(reopened, &search), text);

    // Since then: one copy is gone, one small copy was written to, another replaced by a file
    // of the same size and time under its name.
    ASSERT_EQ(std::remove(gone.c_str()), 0);
    dir.WriteFile("a/note.txt", RandomBytes(800, 9));
    const std::string stranger = dir.WriteFile("stranger", other);
    const fs::file_time_type when = fs::last_write_time(small3);
    fs::last_write_time(stranger, when);
    fs::rename(stranger, small3);
    ASSERT_TRUE(ReadResultsDocument(text, &reopened, &read, &counts, &why)) << why;
    EXPECT_EQ(Paths(reopened), Paths(model)) << "rows not here stay, greyed, in their groups";
    for (std::size_t row = 0; row < reopened.RowCount(); ++row) {
        const std::string path = Slashes(reopened.Row(row).record->Path());
        const RowStanding expected = path == gone     ? kStandsMissing
                                     : path == small1 ? kStandsChanged
                                     : path == small3 ? kStandsReplaced
                                                      : kStandsHere;
        EXPECT_EQ(reopened.Row(row).standing, expected) << path;
    }
    EXPECT_EQ(counts.missing, 1);
    // Select all takes only what is here, never the last file here of a group.
    std::vector<std::string> chosen;
    for (std::size_t row : reopened.DuplicateRows())
        chosen.push_back(Slashes(reopened.Row(row).record->Path()));
    EXPECT_EQ(chosen, std::vector<std::string>{Slashes(copy)});
    EXPECT_EQ(reopened.DuplicateCount(), 1);
    // Chosen by hand, a file not here is refused by the plan with why; a copy not here is no
    // copy to compare with.
    std::vector<std::size_t> all;
    for (std::size_t row = 0; row < reopened.RowCount(); ++row) all.push_back(row);
    PlanSettings settings;
    settings.kind = DuplicateActionKind::kDelete;
    const ActionPlan plan(reopened, all, settings);
    for (const PlannedFile& file : plan.Files()) {
        const std::string path = Slashes(reopened.Row(file.row).record->Path());
        if (path == gone || path == small1) {
            EXPECT_EQ(file.verdict, PlanVerdict::kNotHere) << path;
        }
        for (std::size_t c : file.copies) EXPECT_TRUE(reopened.Row(c).StandsHere()) << path;
    }
    const ActionOutcome outcome = ApplyPlan(reopened, plan, nullptr);
    for (const ActionStep& step : outcome.done) {
        EXPECT_NE(Slashes(step.path), small1);
        EXPECT_NE(Slashes(step.path), small3);
    }
    EXPECT_TRUE(fs::exists(small1));
    EXPECT_TRUE(fs::exists(kept)) << "a protected copy stays";
    bool named = false;
    for (const auto& refused : outcome.refused)
        named = named || (Slashes(refused.first) == small1 && refused.second == "保存后已改变");
    EXPECT_TRUE(named);
}

#ifndef _WIN32
TEST(SavedResults, AFileWrittenInPlaceWithItsTimePutBackIsSeenByItsChangeTime) {
    TempDir dir;
    const std::string bytes = RandomBytes(3000, 3);
    const std::string a = dir.WriteFile("a", bytes), b = dir.WriteFile("b", bytes);
    SearchOptions options;
    options.paths = {dir.Path()};
    const std::string text = FormatResultsDocument(Searched(options), nullptr);
    struct stat before;
    ASSERT_EQ(stat(b.c_str(), &before), 0);
    const int fd = open(b.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(pwrite(fd, "X", 1, 10), 1);
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(futimens(fd, times), 0);
    close(fd);
    ResultsModel reopened;
    SavedSearch read;
    ReopenCounts counts;
    std::string why;
    ASSERT_TRUE(ReadResultsDocument(text, &reopened, &read, &counts, &why)) << why;
    ASSERT_EQ(reopened.RowCount(), 2u);
    EXPECT_EQ(counts.changed, 1);
    EXPECT_TRUE(reopened.DuplicateRows().empty());
}
#endif

TEST(SavedResults, DamagedForeignNewerAndHostileFilesAreRefusedWhole) {
    TempDir dir;
    const std::string bytes = RandomBytes(900, 4);
    for (const char* name : {"x/1", "x/2", "y/1", "y/2", "y/3"}) dir.WriteFile(name, name[0] == 'x' ? bytes : bytes + "y");
    SearchOptions options;
    options.paths = {dir.Path()};
    const std::string text = FormatResultsDocument(Searched(options), nullptr);
    ResultsModel model;
    std::string why;
    ASSERT_TRUE(Reads(text, &model, &why)) << why;
    ASSERT_EQ(model.RowCount(), 5u);

    // Every cut short of the whole is refused, and leaves no rows.
    for (std::size_t length = 0; length + 1 < text.size(); ++length) {
        const std::string cut = text.substr(0, length);
        if (cut.find_first_not_of(" \n") == std::string::npos && length > 0) continue;
        ASSERT_FALSE(Reads(cut, &model, &why)) << length;
        ASSERT_FALSE(why.empty());
        ASSERT_EQ(model.RowCount(), 0u);
    }
    // Bit flips and stray bytes never crash; what is accepted is a whole document of groups
    // of two or more files each of the group's size.
    std::uint32_t seed = 12345;
    int refused = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string damaged = text;
        seed = seed * 1103515245u + 12345u;
        const std::size_t at = (seed >> 8) % damaged.size();
        damaged[at] = round % 2 == 0 ? static_cast<char>(damaged[at] ^ (1 << (seed % 8)))
                                     : static_cast<char>(seed >> 24);
        if (!Reads(damaged, &model, &why)) {
            ++refused;
            ASSERT_FALSE(why.empty());
            ASSERT_EQ(model.RowCount(), 0u);
            continue;
        }
        for (const RowGroup& group : model.Groups()) {
            ASSERT_GE(group.Count(), 2u);
            for (std::size_t row = group.begin; row < group.end; ++row)
                ASSERT_EQ(model.Row(row).record->m_nSize, model.Row(group.begin).record->m_nSize);
        }
    }
    EXPECT_GT(refused, 2000);

    const auto refusal = [&](const std::string& doc) {
        EXPECT_FALSE(Reads(doc, &model, &why)) << doc;
        EXPECT_EQ(model.RowCount(), 0u);
        return why;
    };
    const std::string head = "{\"format\": \"pairscout-results\", \"version\": 1, \"groups\": [";
    const std::string file = "{\"path\": \"/p/a\", \"keep\": true, \"size\": 5, \"written\": 1}";
    const std::string file2 = "{\"path\": \"/p/b\", \"keep\": false, \"size\": 5, \"written\": 1}";
    const std::string group = "{\"size\": 5, \"crc\": \"0a\", \"checksum\": \"0b\", \"files\": [";
    ASSERT_TRUE(Reads(head + group + file + ", " + file2 + "]}]}", &model, &why)) << why;
    EXPECT_EQ(refusal("{\"groups\": []}"), "这不是 Pairscout 保存的结果");
    EXPECT_EQ(refusal("[1, 2]"), "这不是 Pairscout 保存的结果");
    EXPECT_EQ(refusal("{\"format\": \"pairscout-results\", \"version\": 7, \"groups\": []}"),
              "它由更新的版本保存 (格式 7), 这个版本只能读格式 1");
    // Numbers out of range, nesting, names, and rows that no search could have written.
    EXPECT_NE(refusal(head + "{\"size\": 99999999999999999999}]}").find("文件已损坏"), std::string::npos);
    EXPECT_NE(refusal(head + std::string(100000, '[')).find("文件已损坏"), std::string::npos);
    EXPECT_NE(refusal(head + group + "{\"path\": \"/p/\\u0000a\", \"keep\": true, \"size\": 5, \"written\": 1}, " + file2 + "]}]}")
                  .find("NUL"),
              std::string::npos);
    EXPECT_NE(refusal(head + group + "{\"path\": \"/p/\xff\", \"keep\": true, \"size\": 5, \"written\": 1}, " + file2 + "]}]}"),
              "");
    EXPECT_NE(refusal(head + group + "{\"path\": \"/p/\x01\", \"keep\": true, \"size\": 5, \"written\": 1}, " + file2 + "]}]}"),
              "");
    EXPECT_NE(refusal(head + group + file + "]}]}").find("fewer than two"), std::string::npos);
    EXPECT_NE(refusal(head + group + file + ", " + "{\"path\": \"/p/b\", \"keep\": false, \"size\": 6, \"written\": 1}]}]}")
                  .find("size"),
              std::string::npos);
    EXPECT_NE(refusal(head + group + file2 + ", " + file2 + "]}]}").find("not kept"), std::string::npos);
    EXPECT_NE(refusal(head + group + file + ", " + file2 + "]}]} x"), "");
    // A name that is not UTF-8 comes back byte for byte through its escape.
    const std::string odd = "/p/r\xff\xfe q";
    ASSERT_TRUE(Reads(head + group + "{\"path\": \"" + JsonString(odd) + "\", \"keep\": true, \"size\": 5, \"written\": 1}, " + file2 + "]}]}", &model, &why))
        << why;
    EXPECT_EQ(model.Row(0).record->Path(), odd);
}

TEST(Catalog, AComparisonListsExactlyTheFilesTheCatalogHoldsAndOnlyMovesThem) {
    TempDir drive, here, moved;
    const std::string photo = RandomBytes(70000, 11), doc = RandomBytes(2000, 12);
    drive.WriteFile("photos/p.jpg", photo);
    drive.WriteFile("docs/d.txt", doc);
    drive.WriteFile("docs/d copy.txt", doc);
    drive.WriteFile("empty", "");
    drive.WriteFile("same size", RandomBytes(2000, 13));
    SearchOptions options;
    options.paths = {drive.Path()};
    Catalog catalog;
    ASSERT_TRUE(MakeCatalog(options, nullptr, nullptr, &catalog));
    catalog.name = "backup drive";
    EXPECT_EQ(catalog.files.size(), 5u);
    const std::string text = FormatCatalogDocument(catalog);
    Catalog read;
    std::string why;
    ASSERT_TRUE(ReadCatalogDocument(text, &read, &why)) << why;
    ASSERT_EQ(read.files.size(), catalog.files.size());
    for (std::size_t k = 0; k < read.files.size(); ++k) {
        EXPECT_EQ(read.files[k].path, catalog.files[k].path);
        EXPECT_EQ(read.files[k].size, catalog.files[k].size);
        EXPECT_EQ(read.files[k].written, catalog.files[k].written);
        EXPECT_EQ(read.files[k].hashHigh, catalog.files[k].hashHigh);
        EXPECT_EQ(read.files[k].hashLow, catalog.files[k].hashLow);
    }
    EXPECT_EQ(read.name, "backup drive");
    // Every cut short of the whole is refused.
    Catalog scratch;
    for (std::size_t length = 0; length + 1 < text.size(); length += 7) {
        EXPECT_FALSE(ReadCatalogDocument(text.substr(0, length), &scratch, &why)) << length;
        EXPECT_TRUE(scratch.files.empty());
    }
    EXPECT_FALSE(ReadCatalogDocument("{\"format\": \"pairscout-results\", \"version\": 1}", &scratch, &why));
    EXPECT_EQ(why, "这不是 Pairscout 写的目录");

    // The drive is gone; here: a copy of each, a file of a size the catalog holds with other
    // bytes, an empty file, and a file of its own.
    const std::string photoHere = here.WriteFile("pics/p (1).jpg", photo);
    const std::string docHere = here.WriteFile("d.txt", doc);
    here.WriteFile("other", RandomBytes(2000, 14));
    here.WriteFile("empty", "");
    here.WriteFile("own", RandomBytes(500, 15));
    fs::remove_all(drive.Path());
    ResultsModel model;
    options.paths = {here.Path()};
    ASSERT_TRUE(CompareWithCatalog(read, options, nullptr, nullptr, &model));
    std::vector<std::vector<std::string>> groups;
    for (std::size_t row = 0; row < model.RowCount(); ++row) {
        if (model.IsGroupFirst(row)) groups.emplace_back();
        const ResultRow& r = model.Row(row);
        groups.back().push_back((r.standing == kStandsInCatalog ? "catalog " : "") +
                                Slashes(r.record->Path()));
    }
    // Each group: the catalog's entries, then the files here (compared without their order).
    std::set<std::set<std::string>> got;
    for (const auto& group : groups) got.insert(std::set<std::string>(group.begin(), group.end()));
    const std::string there = Slashes(drive.Path());
    const std::set<std::set<std::string>> expected = {
        {"catalog " + there + "docs/d copy.txt", "catalog " + there + "docs/d.txt", Slashes(docHere)},
        {"catalog " + there + "photos/p.jpg", Slashes(photoHere)}};
    EXPECT_EQ(got, expected);
    for (const auto& group : groups) EXPECT_EQ(group.front().rfind("catalog ", 0), 0u);
    ASSERT_GT(model.RowCount(), 0u);
    EXPECT_EQ(CellText(model, 0, kColumnPath).rfind("目录中: " + drive.Path(), 0), 0u);
    EXPECT_NE(CellText(model, 0, kColumnPath).find(" (backup drive)"), std::string::npos);
    EXPECT_EQ(CellText(model, 0, kColumnKeepReason), "副本在目录中");

    // Both files here are duplicates; nothing but a move acts on them.
    const std::vector<std::size_t> rows = model.DuplicateRows();
    EXPECT_EQ(rows.size(), 2u);
    EXPECT_EQ(model.DuplicateCount(), 2);
    for (DuplicateActionKind kind : {DuplicateActionKind::kTrash, DuplicateActionKind::kDelete,
                                     DuplicateActionKind::kHardLink, DuplicateActionKind::kShareData}) {
        PlanSettings settings;
        settings.kind = kind;
        const ActionPlan plan(model, rows, settings);
        EXPECT_EQ(plan.Goes(), 0);
        const ActionOutcome outcome = ApplyPlan(model, plan, nullptr);
        EXPECT_TRUE(outcome.done.empty());
        ASSERT_EQ(outcome.refused.size(), 2u);
        EXPECT_EQ(outcome.refused[0].second.rfind("它的副本只在目录中", 0), 0u);
    }
    EXPECT_TRUE(fs::exists(photoHere));
    EXPECT_TRUE(fs::exists(docHere));
    PlanSettings move;
    move.kind = DuplicateActionKind::kMove;
    move.moveFolder = moved.Path();
    move.startPaths = options.paths;
    const ActionPlan plan(model, rows, move);
    EXPECT_EQ(plan.Goes(), 2);
    const ActionOutcome outcome = ApplyPlan(model, plan, nullptr);
    EXPECT_EQ(outcome.done.size(), 2u);
    EXPECT_TRUE(outcome.refused.empty());
    EXPECT_FALSE(fs::exists(photoHere));
    EXPECT_EQ(ReadWholeFile(outcome.done[0].target).size() + ReadWholeFile(outcome.done[1].target).size(),
              photo.size() + doc.size());
}
