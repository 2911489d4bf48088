// Folders taken whole: they go with every file of them or stay with every file of them, their
// files are compared only with copies outside the folders that go, and the folders an action
// empties are removed and come back with its undo.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "engine/actions/duplicate_action.h"
#include "engine/actions/emptied_folders.h"
#include "engine/actions/safe_delete.h"
#include "engine/actions/trash_undo.h"
#include "engine/results/folder_groups.h"
#include "engine/results/folder_rows.h"
#include "engine/search/duplicate_search.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "support/platform_rules.h"
#include "support/random_bytes.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

ResultsModel Search(const TempDir& tree, std::vector<FolderSeen>* seen = nullptr) {
    SearchOptions options;
    options.paths = {tree.Path()};
    ResultsModel model;
    DuplicateSearch search(nullptr);
    EXPECT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    if (seen != nullptr) *seen = search.FoldersSeen();
    return model;
}

std::string Folder(const TempDir& tree, const std::string& relative) {
    return tree / Native(relative);
}

// photos/ with 2021/ below it, its copy backup/photos/, and loose/, whose files are spread over
// photos/ and other/.
void MakeTree(const TempDir& tree) {
    const std::string a = RandomBytes(3000, 1), b = RandomBytes(4000, 2), n = RandomBytes(300, 3);
    const std::string o = RandomBytes(500, 4);
    for (const std::string top : {"photos/", "backup/photos/"}) {
        tree.WriteFile(Native(top + "2021/a.jpg"), a);
        tree.WriteFile(Native(top + "2021/b.jpg"), b);
        tree.WriteFile(Native(top + "notes.txt"), n);
    }
    tree.WriteFile(Native("other/o.txt"), o);
    tree.WriteFile(Native("loose/a.jpg"), a);
    tree.WriteFile(Native("loose/o.txt"), o);
}

}  // namespace

TEST(FolderActions, AFolderGoesWholeOrStaysWholeAndIsComparedOnlyWithCopiesOutside) {
    TempDir tree;
    MakeTree(tree);
    std::vector<FolderSeen> seen;
    const ResultsModel model = Search(tree, &seen);
    const FolderFindings found = FindFolderGroups(model, seen, false);
    ASSERT_EQ(found.identical.size(), 1u);
    // loose/ is held by photos/2021/, its copy and other/.
    const auto isLoose = [&](const ContainedFolder& c) {
        return Slashes(c.folder) == Slashes(Folder(tree, "loose/"));
    };
    const auto contained = std::find_if(found.contained.begin(), found.contained.end(), isLoose);
    ASSERT_NE(contained, found.contained.end());
    EXPECT_EQ(contained->holders.size(), 3u);

    // Both copies chosen: the first goes, compared with the second; the second has no copy left.
    const std::string photos = Folder(tree, "photos"), backup = Folder(tree, "backup/photos");
    PlanSettings settings;
    settings.kind = DuplicateActionKind::kDelete;
    const ActionPlan both(model, {backup + platform::kPathSeparator, photos,
                                  Folder(tree, "backup/photos/2021")}, settings);
    ASSERT_EQ(both.Folders().size(), 2u);  // backup/photos/2021 is part of backup/photos
    EXPECT_TRUE(both.Folders()[0].goes);
    EXPECT_EQ(both.Folders()[0].rows.size(), 3u);
    EXPECT_EQ(both.Folders()[0].bytes, 3000 + 4000 + 300);
    EXPECT_FALSE(both.Folders()[1].goes);
    EXPECT_EQ(both.Folders()[1].why, LoadStringText(IDS_FOLDER_NO_COPY_OUTSIDE));
    EXPECT_EQ(both.Goes(), 3);
    EXPECT_EQ(both.FoldersGoing(), 1);
    for (std::size_t row : both.Folders()[0].rows) {
        const PlannedFile* file = both.Find(row);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->verdict, PlanVerdict::kGoes);
        for (std::size_t copy : file->copies)
            EXPECT_NE(model.Row(copy).record->Path().rfind(backup, 0), 0u) << "a copy inside";
    }
    for (std::size_t row : both.Folders()[1].rows)
        EXPECT_EQ(both.Find(row)->verdict, PlanVerdict::kFolderStays);
    const auto stays = both.StaysBeforehand(model);
    ASSERT_EQ(stays.size(), 1u);
    EXPECT_EQ(stays[0].first, photos);

    // The contained folder's files are vouched for by two folders, neither of them going.
    const ActionPlan loose(model, {contained->folder}, settings);
    ASSERT_EQ(loose.FoldersGoing(), 1);
    for (std::size_t row : loose.Folders()[0].rows) EXPECT_FALSE(loose.Find(row)->copies.empty());
    // photos/ and loose/ going leave backup/photos/2021/a.jpg the last copy of a.jpg: the
    // folder given last stays, and is the copy that loose/a.jpg is compared with.
    const ActionPlan all(model, {photos, loose.Folders()[0].path, backup}, settings);
    EXPECT_TRUE(all.Folders()[0].goes);
    EXPECT_TRUE(all.Folders()[1].goes);
    EXPECT_FALSE(all.Folders()[2].goes);
    EXPECT_EQ(all.Folders()[2].why, LoadStringText(IDS_FOLDER_NO_COPY_OUTSIDE));
    const PlannedFile* looseA = nullptr;
    for (std::size_t row : all.Folders()[1].rows)
        if (Slashes(model.Row(row).record->Path()) == Slashes(Folder(tree, "loose/a.jpg")))
            looseA = all.Find(row);
    ASSERT_NE(looseA, nullptr);
    ASSERT_EQ(looseA->copies.size(), 1u);
    EXPECT_EQ(Slashes(model.Row(looseA->copies[0]).record->Path()),
              Slashes(Folder(tree, "backup/photos/2021/a.jpg")));
    // A protected file keeps its folder whole.
    PlanSettings guarded = settings;
    guarded.protectedFolders = {Folder(tree, "backup/photos/2021")};
    const ActionPlan held(model, {backup}, guarded);
    EXPECT_FALSE(held.Folders()[0].goes);
    EXPECT_EQ(held.Folders()[0].why, LoadStringText(IDS_DELETE_PROTECTED));
    EXPECT_EQ(held.Goes(), 0);

    // The view's rows: all chosen, the holders of copies are no folders to take, and a group's
    // folders are given last first (so that its first is the one that stays).
    const std::vector<FolderRow> rows = MakeFolderRows(found);
    std::vector<std::size_t> everyRow;
    for (std::size_t r = 0; r < rows.size(); ++r) everyRow.push_back(r);
    const std::vector<std::string> taken = FoldersToTake(rows, everyRow);
    for (const FolderRow& row : rows) {
        if (row.kind != FolderRow::kHolder) continue;
        const auto listed = std::count_if(rows.begin(), rows.end(), [&](const FolderRow& other) {
            return other.kind != FolderRow::kHolder && other.path == row.path;
        });
        EXPECT_EQ(std::count(taken.begin(), taken.end(), row.path), listed) << row.path;
    }
    ASSERT_TRUE(rows[0].first);
    EXPECT_EQ(taken.back(), rows[0].path);

    // A file that fails in the act (its bytes differ after all) keeps the rest of its folder.
    DuplicateAction failing(DuplicateActionKind::kDelete, nullptr);
    failing.Parts().compare = [](const CFileRecord&, platform::FileReader&, const CFileRecord&,
                                 platform::FileReader&, const std::function<bool()>&,
                                 std::string*) { return ContentMatch::kDifferent; };
    const ActionOutcome differ = failing.Apply(model, ActionPlan(model, {backup}, settings));
    EXPECT_TRUE(differ.done.empty());
    EXPECT_TRUE(differ.foldersDone.empty());
    ASSERT_EQ(differ.refused.size(), 1u) << "the first file named, the others left with it";
    EXPECT_EQ(differ.refused[0].second, LoadStringText(IDS_CONTENTS_DIFFER));
    for (std::size_t row : both.Folders()[0].rows)
        EXPECT_TRUE(fs::exists(model.Row(row).record->Path()));

    // A file written to since the search, or one added, keeps its folder and every file of it.
    tree.WriteFile(Native("backup/photos/notes.txt"), RandomBytes(300, 5));
    const ActionOutcome changed = DuplicateAction(DuplicateActionKind::kDelete, nullptr)
                                      .Apply(model, ActionPlan(model, {backup}, settings));
    EXPECT_TRUE(changed.done.empty());
    ASSERT_EQ(changed.refused.size(), 1u);
    EXPECT_EQ(changed.refused[0].first, backup);
    EXPECT_NE(changed.refused[0].second.find(Folder(tree, "backup/photos/notes.txt")), std::string::npos);
    EXPECT_TRUE(fs::exists(Folder(tree, "backup/photos/2021/a.jpg")));
    tree.WriteFile(Native("backup/photos/notes.txt"), RandomBytes(300, 3));
    const ResultsModel again = Search(tree);
    tree.WriteFile(Native("backup/photos/2021/new.txt"), RandomBytes(10, 6));
    const ActionOutcome added = DuplicateAction(DuplicateActionKind::kDelete, nullptr)
                                    .Apply(again, ActionPlan(again, {backup}, settings));
    EXPECT_TRUE(added.done.empty());
    ASSERT_EQ(added.refused.size(), 1u);
    EXPECT_EQ(added.refused[0].second,
              FormatFolderStays(Folder(tree, "backup/photos/2021/new.txt"),
                                LoadStringText(IDS_FOLDER_UNLISTED_FILE)));
}

// Only what the action emptied goes: never a folder empty before, a start path or a folder
// outside them; what was put in meanwhile keeps its folder.
TEST(FolderActions, EmptiedFoldersGoUpToTheStartPathAndNoFurther) {
    TempDir tree;
    const std::string bytes = RandomBytes(2000, 7);
    tree.WriteFile(Native("keep/k.bin"), bytes);
    tree.WriteFile(Native("start/deep/er/d1.bin"), bytes);
    tree.WriteFile(Native("start/side/d2.bin"), bytes);
    tree.MakeDir(Native("start/side/was-empty"));
    tree.WriteFile(Native("start/d3.bin"), bytes);
    tree.WriteFile(Native("start/busy/d4.bin"), bytes);
    const std::string start = Folder(tree, "start");
    // Files gone from under the start path (as a removal would leave them).
    for (const char* name : {"start/deep/er/d1.bin", "start/side/d2.bin", "start/d3.bin",
                             "start/busy/d4.bin"})
        fs::remove(Folder(tree, name));
    tree.WriteFile(Native("start/busy/new.txt"), "meanwhile");
    const std::vector<platform::RemovedFolder> removed = RemoveEmptiedFolders(
        {Folder(tree, "start/deep/er/d1.bin"), Folder(tree, "start/side/d2.bin"),
         Folder(tree, "start/d3.bin"), Folder(tree, "start/busy/d4.bin"),
         Folder(tree, "keep/gone.bin")},
        {}, {start});
    std::vector<std::string> paths;
    for (const platform::RemovedFolder& folder : removed) paths.push_back(Slashes(folder.path));
    EXPECT_EQ(paths, (std::vector<std::string>{Slashes(Folder(tree, "start/deep/er")),
                                               Slashes(Folder(tree, "start/deep"))}));
    EXPECT_TRUE(fs::exists(start));
    EXPECT_TRUE(fs::exists(Folder(tree, "start/side/was-empty")));
    EXPECT_TRUE(fs::exists(Folder(tree, "start/busy/new.txt")));
    EXPECT_TRUE(fs::exists(Folder(tree, "keep")));

    // Made again, parents first, with their times.
    EXPECT_TRUE(MakeFoldersAgain(removed).empty());
    GiveFoldersTheirTimes(removed);
    EXPECT_TRUE(fs::is_directory(Folder(tree, "start/deep/er")));
    for (const platform::RemovedFolder& folder : removed) {
        platform::RemovedFolder now;
        ASSERT_TRUE(platform::ReadFolderState(folder.path, &now)) << folder.path;
        EXPECT_EQ(now.writeTime, folder.writeTime);
        EXPECT_EQ(now.mode, folder.mode);
    }
    // The undo lines read back as written; a damaged one is refused.
    platform::RemovedFolder back;
    ASSERT_TRUE(RemovedFolderFromLine(RemovedFolderLine(removed[0]), &back));
    EXPECT_EQ(back.path, removed[0].path);
    EXPECT_EQ(back.accessTime, removed[0].accessTime);
    EXPECT_FALSE(RemovedFolderFromLine("D x 99999 0 1 2", &back));
    EXPECT_FALSE(RemovedFolderFromLine("F x 0 0 1 2", &back));
}

#ifndef _WIN32

// A folder moved to the trash whole leaves no empty folder behind, and its undo gives back the
// folders with their permissions and times before the files go back into them.
TEST(FolderActions, AFolderInTheTrashComesBackWithItsFolders) {
    TempDir tree, home;
    ScopedEnvVar data{"XDG_DATA_HOME", home.Path().c_str()};
    MakeTree(tree);
    tree.MakeDir("backup/photos/empty-before");
    ASSERT_EQ(chmod((tree / "backup/photos/2021").c_str(), 0750), 0);
    struct stat before;
    ASSERT_EQ(stat((tree / "backup/photos/2021").c_str(), &before), 0);
    ResultsModel model = Search(tree);
    const std::string backup = tree / "backup/photos";

    SafeDelete removal(nullptr, true);
    removal.SetRemoveEmptiedFolders({tree.Path()});
    const DeleteOutcome out = removal.RunFolders(model, {backup});
    EXPECT_EQ(out.goneRows.size(), 3u);
    EXPECT_TRUE(out.kept.empty());
    // backup/ held nothing else: it goes too; the start path stays.
    EXPECT_FALSE(fs::exists(tree / "backup"));
    EXPECT_TRUE(fs::exists(tree / "photos/2021/a.jpg"));
    std::vector<std::string> gone;
    for (const platform::RemovedFolder& folder : out.removedFolders) gone.push_back(folder.path);
    EXPECT_EQ(gone.size(), 4u);
    EXPECT_EQ(gone.back(), tree / "backup");

    TrashUndo undo;
    undo.Remember(model, out, nullptr);
    // Kept past the program's end and read back.
    TrashUndo kept;
    ASSERT_TRUE(kept.Load(undo.Save()));
    EXPECT_EQ(kept.Save(), undo.Save());
    const UndoOutcome back = kept.Restore(nullptr);
    EXPECT_EQ(back.restored.size(), 3u);
    EXPECT_TRUE(back.kept.empty());
    EXPECT_TRUE(fs::exists(tree / "backup/photos/2021/b.jpg"));
    EXPECT_TRUE(fs::is_directory(tree / "backup/photos/empty-before"));
    struct stat after;
    ASSERT_EQ(stat((tree / "backup/photos/2021").c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0750u);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    // Without the option, the emptied folders stay.
    ResultsModel again = Search(tree);
    const DeleteOutcome plain = SafeDelete(nullptr, false).RunFolders(again, {backup});
    EXPECT_EQ(plain.goneRows.size(), 3u);
    EXPECT_TRUE(plain.removedFolders.empty());
    EXPECT_TRUE(fs::is_directory(tree / "backup/photos/2021"));
}

#endif
