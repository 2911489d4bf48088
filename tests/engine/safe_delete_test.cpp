// The delete command's checks on real files: a file goes only while it is still the file that
// was listed and a copy with the same bytes stays; the last copy of a wholly chosen group stays;
// what the system refuses and what a stop leaves are kept; the message names them.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <thread>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "engine/search/checksum.h"
#include "engine/search/duplicate_search.h"
#include "engine/actions/safe_delete.h"
#include "support/another_program.h"
#include "support/recording_sink.h"
#include "support/platform_rules.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

class SafeDeleteTest : public ::testing::Test {
protected:
    // Groups: three files of 4000 "a" (rows 0-2), two of 3000 "b" (rows 3-4).
    void SetUp() override {
        dir.WriteFile("x/a1", std::string(4000, 'a'));
        dir.WriteFile("y/a2", std::string(4000, 'a'));
        dir.WriteFile("z/a3", std::string(4000, 'a'));
        dir.WriteFile("x/b1", std::string(3000, 'b'));
        dir.WriteFile("y/b2", std::string(3000, 'b'));
        SearchOptions options;
        options.paths = {dir.Path()};
        DuplicateSearch search(nullptr);
        ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
        ASSERT_EQ(model.RowCount(), 5u);
    }

    std::string Path(std::size_t row) const { return model.Row(row).record->Path(); }

    // Removes for good what it is given, except `refuse`; notes every path.
    SafeDelete::Deleter Remover(std::set<std::string> refuse = {}) {
        return [this, refuse](const std::vector<std::string>& paths) {
            std::vector<std::string> left;
            for (const std::string& path : paths) {
                given.push_back(path);
                std::error_code error;
                if (refuse.count(path) != 0 || !std::filesystem::remove(path, error))
                    left.push_back(path);
            }
            return left;
        };
    }

    bool Exists(std::size_t row) const { return std::filesystem::exists(Path(row)); }

    TempDir dir;
    ResultsModel model;
    std::vector<std::string> given;
};

TEST_F(SafeDeleteTest, UnchangedDuplicatesGo) {
    SafeDelete remover(nullptr, Remover());
    const DeleteOutcome out = remover.Run(model, model.DuplicateRows());
    EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{1, 2, 4}));
    EXPECT_TRUE(out.kept.empty());
    EXPECT_FALSE(out.stopped);
    EXPECT_EQ(given, (std::vector<std::string>{Path(1), Path(2), Path(4)}));
    EXPECT_TRUE(Exists(0));
    EXPECT_TRUE(Exists(3));
}

TEST_F(SafeDeleteTest, ChangedFilesAndChangedCopiesAreKept) {
    // Row 4 changed after the search (same size, other bytes); the only copy of row 3 ...
    dir.WriteFile(Path(4).substr(dir.Path().size()), std::string(2999, 'b') + "c");
    // Its time set well apart from the scanned one: a coarse clock could give the rewrite the
    // same time, and it is the changed time that must keep it, before any comparison.
    std::filesystem::last_write_time(Path(4), std::filesystem::last_write_time(Path(4)) +
                                                  std::chrono::seconds(10));
    // ... and in the group of three the first file changed: row 1 is compared with row 2.
    dir.WriteFile(Path(0).substr(dir.Path().size()), std::string(3999, 'a') + "!");
    SafeDelete remover(nullptr, Remover());
    const DeleteOutcome out = remover.Run(model, {1, 4});
    EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{1}));
    ASSERT_EQ(out.kept.size(), 1u);
    EXPECT_EQ(out.kept[0].first, Path(4));
    EXPECT_EQ(out.kept[0].second, "文件在搜索期间已改变");
    EXPECT_EQ(given, (std::vector<std::string>{Path(1)}));

    // The copy that stays changed: its duplicate stays too, and the copy is named.
    const DeleteOutcome again = SafeDelete(nullptr, Remover()).Run(model, {2});
    EXPECT_TRUE(again.goneRows.empty()) << "row 0 changed; row 1 is gone from disk";
    ASSERT_EQ(again.kept.size(), 1u);
    EXPECT_EQ(again.kept[0].second.rfind("没有保留的副本: ", 0), 0u) << again.kept[0].second;
    EXPECT_TRUE(Exists(2));
}

TEST_F(SafeDeleteTest, FilesWhoseContentsDifferFromEveryCopyStay) {
    // Same size and time, other bytes: written back with the scanned time kept.
    const std::string path = Path(2);
    const auto written = std::filesystem::last_write_time(path);
    dir.WriteFile(path.substr(dir.Path().size()), std::string(3999, 'a') + "z");
    std::filesystem::last_write_time(path, written);
    const DeleteOutcome out = SafeDelete(nullptr, Remover()).Run(model, {2});
    EXPECT_TRUE(out.goneRows.empty());
    ASSERT_EQ(out.kept.size(), 1u);
    EXPECT_EQ(out.kept[0].first, path);
    // Where the time set back is not exactly the scanned one (the Windows C++ library rounds
    // it), the time check keeps the file first; either way it stays.
    if (!kWindows) {
        EXPECT_EQ(out.kept[0].second, "内容与保留的副本不同");
    }
    EXPECT_TRUE(given.empty());
}

TEST_F(SafeDeleteTest, AWhollyChosenGroupKeepsItsFirstFile) {
    const DeleteOutcome out = SafeDelete(nullptr, Remover()).Run(model, {0, 1, 2, 3, 4, 4, 99});
    EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{1, 2, 4}));
    ASSERT_EQ(out.kept.size(), 2u);
    EXPECT_EQ(out.kept[0].first, Path(0));
    EXPECT_EQ(out.kept[1].first, Path(3));
    EXPECT_EQ(out.kept[0].second, "该组的所有文件都被选择, 保留这最后一份");
    EXPECT_TRUE(Exists(0));
    EXPECT_TRUE(Exists(3));
}

TEST_F(SafeDeleteTest, RefusedFilesAndAStopKeepTheirFiles) {
    const DeleteOutcome out = SafeDelete(nullptr, Remover({Path(2)})).Run(model, {1, 2});
    EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{1}));
    ASSERT_EQ(out.kept.size(), 1u);
    EXPECT_EQ(out.kept[0], (std::pair<std::string, std::string>(Path(2), "系统无法删除此文件")));

    RecordingSink sink;
    sink.m_cancel = true;
    given.clear();
    const DeleteOutcome stopped = SafeDelete(&sink, Remover()).Run(model, {2, 4});
    EXPECT_TRUE(stopped.stopped);
    EXPECT_TRUE(stopped.goneRows.empty());
    EXPECT_TRUE(stopped.kept.empty()) << "what a stop leaves is not a failure";
    EXPECT_TRUE(given.empty());
    EXPECT_TRUE(Exists(4));
    EXPECT_EQ(sink.m_texts, (std::vector<std::string>{"正在检查和删除文件..."}));
}

// Each file is removed right after its own check and comparison, never after a batch of
// others: the time between the check and the removal is one comparison at most.
TEST_F(SafeDeleteTest, EachFileGoesRightAfterItsOwnCheck) {
    SafeDelete remover(nullptr, Remover());
    std::vector<std::string> steps;
    remover.SetCompare([&steps](const CFileRecord& a, platform::FileReader& ra,
                                const CFileRecord& b, platform::FileReader& rb,
                                const std::function<bool()>& stop, std::string* reason) {
        steps.push_back("compare " + a.Path());
        return CompareOpenFiles(a, ra, b, rb, stop, reason);
    });
    const SafeDelete::Remover removal = remover.DefaultRemover();
    remover.SetRemover([&steps, removal](platform::HeldFile& file, const platform::HeldFile::Confirm& confirm) {
        steps.push_back("remove " + file.Path());
        return removal(file, confirm);
    });
    const DeleteOutcome out = remover.Run(model, {1, 2, 4});
    EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{1, 2, 4}));
    EXPECT_EQ(steps, (std::vector<std::string>{"compare " + Path(1), "remove " + Path(1),
                                               "compare " + Path(2), "remove " + Path(2),
                                               "compare " + Path(4), "remove " + Path(4)}));
}

// Searches `folders` and expects `count` rows.
ResultsModel SearchFolder(const std::vector<std::string>& folders, std::size_t count) {
    SearchOptions options;
    options.paths = folders;
    ResultsModel model;
    EXPECT_EQ(DuplicateSearch(nullptr).Run(options, model), DuplicateSearch::kFinished);
    EXPECT_EQ(model.RowCount(), count);
    return model;
}

// An append by another program while the action holds the file. POSIX: a child process,
// which the held file's lease keeps waiting until the action lets go; Windows: at once, and
// refused while the file is held (a held file shares no writing).
struct LateAppend {
    std::unique_ptr<AnotherProgram> program;
    bool refused = false;
    void Wait() {
        if (program) program->Wait();
    }
};

LateAppend AppendAsAnotherProgram(const std::string& path, const std::string& text) {
    LateAppend late;
#ifdef _WIN32
    HANDLE h = ::CreateFileA(path.c_str(), FILE_APPEND_DATA,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    late.refused = h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION;
    if (h != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        ::CloseHandle(h);
    }
#else
    late.program = std::make_unique<AnotherProgram>([path, text] {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << text;
    });
#endif
    return late;
}

// The file to delete grows while it is compared with its copy: it stays, with what was added.
TEST(SafeDeleteHandles, AFileThatGrowsDuringItsComparisonStays) {
    TempDir dir;
    const std::string body(kChecksumBlockSize * 2 + 10, 'g');
    dir.WriteFile("k/f", body);
    dir.WriteFile("d/f", body);
    ResultsModel model = SearchFolder({dir.Path()}, 2);
    const std::size_t dup = model.Row(0).record->Path() == dir / Native("d/f") ? 0 : 1;
    SafeDelete remover(nullptr, false);
    LateAppend late;
    remover.SetCompare([&](const CFileRecord& a, platform::FileReader& ra, const CFileRecord& b,
                           platform::FileReader& rb, const std::function<bool()>& stop,
                           std::string* reason) {
        bool grown = false;
        const std::function<bool()> grow = [&] {
            if (!grown) late = AppendAsAnotherProgram(a.Path(), "NEW DATA");
            grown = true;
            return stop && stop();
        };
        return CompareOpenFiles(a, ra, b, rb, grow, reason);
    });
    const DeleteOutcome out = remover.Run(model, {dup});
    late.Wait();
    if (late.refused) {
        // Nothing could be added while the file was held: the file compared went.
        EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{dup}));
        return;
    }
    EXPECT_TRUE(out.goneRows.empty());
    ASSERT_EQ(out.kept.size(), 1u);
    EXPECT_EQ(out.kept[0].first, dir / Native("d/f"));
    EXPECT_EQ(ReadWholeFile(dir / Native("d/f")), body + "NEW DATA");
}

// Two deletes of one group at once (two windows): the one that holds a file keeps the other
// from removing the copy it relies on, and from removing a file it keeps as its copy.
TEST(SafeDeleteHandles, TwoDeletesOfOneGroupNeverBothSucceed) {
    TempDir dir;
    dir.WriteFile("x", "the same bytes");
    dir.WriteFile("y", "the same bytes");
    ResultsModel model = SearchFolder({dir.Path()}, 2);
    // Window A deletes row 1 and keeps row 0; between its check and its removal window B
    // deletes row 0, keeping row 1.
    SafeDelete a(nullptr, false);
    DeleteOutcome b;
    const SafeDelete::Remover removal = a.DefaultRemover();
    a.SetRemover([&](platform::HeldFile& file, const platform::HeldFile::Confirm& confirm) {
        b = SafeDelete(nullptr, false).Run(model, {0});
        return removal(file, confirm);
    });
    const DeleteOutcome outA = a.Run(model, {1});
    EXPECT_EQ(outA.goneRows, (std::vector<std::size_t>{1}));
    EXPECT_TRUE(b.goneRows.empty());
    ASSERT_EQ(b.kept.size(), 1u);
    EXPECT_EQ(b.kept[0].first, model.Row(0).record->Path());
    EXPECT_EQ(b.kept[0].second, "另一个程序正在使用此文件");
    EXPECT_TRUE(std::filesystem::exists(model.Row(0).record->Path()));
    EXPECT_FALSE(std::filesystem::exists(model.Row(1).record->Path()));

    // The copy that would stay is being removed elsewhere: no copy stays, nothing goes.
    dir.WriteFile("p/f", "pair");
    dir.WriteFile("q/f", "pair");
    ResultsModel pair = SearchFolder({dir / "p", dir / "q"}, 2);
    platform::HeldFile other;
    ASSERT_EQ(other.Open(pair.Row(0).record->Path(), platform::HeldFile::kGoes), 0);
    const DeleteOutcome refused = SafeDelete(nullptr, false).Run(pair, {1});
    EXPECT_TRUE(refused.goneRows.empty());
    ASSERT_EQ(refused.kept.size(), 1u);
    EXPECT_EQ(refused.kept[0].second,
              "没有保留的副本: " + pair.Row(0).record->Path() + " (另一个程序正在使用此文件)");
    EXPECT_TRUE(std::filesystem::exists(pair.Row(1).record->Path()));
}

// The listed file is saved anew after its check (a new file renamed over it, as editors do):
// the user's new work stays; the file that was checked is what a removal may take.
TEST(SafeDeleteHandles, AFileSavedAnewAfterItsCheckStays) {
    TempDir dir;
    dir.WriteFile("k/f", "old contents");
    dir.WriteFile("d/f", "old contents");
    ResultsModel model = SearchFolder({dir.Path()}, 2);
    const std::size_t dup = model.Row(0).record->Path() == dir / Native("d/f") ? 0 : 1;
    SafeDelete remover(nullptr, false);
    const SafeDelete::Remover removal = remover.DefaultRemover();
    bool saved = false;
    remover.SetRemover([&](platform::HeldFile& file, const platform::HeldFile::Confirm& confirm) {
        dir.WriteFile("d/f.tmp", "new work");
        std::error_code error;
        std::filesystem::rename(dir / Native("d/f.tmp"), dir / Native("d/f"), error);
        saved = !error;
        return removal(file, confirm);
    });
    const DeleteOutcome out = remover.Run(model, {dup});
    if (saved) {
        EXPECT_TRUE(out.goneRows.empty());
        ASSERT_EQ(out.kept.size(), 1u);
        EXPECT_EQ(out.kept[0].second, "文件在搜索期间已被替换");
        EXPECT_EQ(ReadWholeFile(dir / Native("d/f")), "new work");
    } else {
        // Windows refuses to replace a file held open: the checked file went, nothing else.
        EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{dup}));
        EXPECT_EQ(ReadWholeFile(dir / Native("d/f.tmp")), "new work");
    }
    EXPECT_EQ(ReadWholeFile(dir / Native("k/f")), "old contents");

    // Moved away and a new file put under its name: the removal takes the file it checked,
    // wherever it went, never the new one.
    dir.WriteFile("m/k", "moved");
    dir.WriteFile("m/g", "moved");
    ResultsModel moved = SearchFolder({dir / "m"}, 2);
    SafeDelete mover(nullptr, false);
    const SafeDelete::Remover moverRemoval = mover.DefaultRemover();
    const std::string goes = moved.Row(1).record->Path();
    mover.SetRemover([&](platform::HeldFile& file, const platform::HeldFile::Confirm& confirm) {
        std::filesystem::rename(goes, goes + ".old");
        dir.WriteFile(goes.substr(dir.Path().size()), "new file");
        return moverRemoval(file, confirm);
    });
    const DeleteOutcome outMoved = mover.Run(moved, {1});
    EXPECT_EQ(ReadWholeFile(goes), "new file");
    // POSIX: the entry under the name is another file, so nothing is removed. Windows removes
    // the file through its handle under the name it has now (Wine leaves it in place).
    if (!kWindows) {
        EXPECT_TRUE(outMoved.goneRows.empty());
        EXPECT_TRUE(std::filesystem::exists(goes + ".old"));
    }
}

#ifndef _WIN32
// The folder on the file's path is swapped for a link to another folder after the check: the
// file of the same name there, an unrelated only copy, stays.
TEST(SafeDeleteHandles, AFolderSwappedForALinkAfterTheCheckRedirectsNothing) {
    TempDir dir;
    dir.WriteFile("k/f", "same");
    dir.WriteFile("d/f", "same");
    dir.WriteFile("other/f", "only copy");
    ResultsModel model = SearchFolder({dir / "k", dir / "d"}, 2);
    const std::size_t dup = model.Row(0).record->Path() == dir / Native("d/f") ? 0 : 1;
    for (const bool toTrash : {false, true}) {
        TempDir home;
        ScopedEnvVar data("XDG_DATA_HOME", home.Path().c_str());
        SafeDelete remover(nullptr, toTrash);
        const SafeDelete::Remover removal = remover.DefaultRemover();
        remover.SetRemover([&](platform::HeldFile& file, const platform::HeldFile::Confirm& confirm) {
            std::filesystem::rename(dir / "d", dir / "d.old");
            std::filesystem::create_directory_symlink(dir / "other", dir / "d");
            return removal(file, confirm);
        });
        const DeleteOutcome out = remover.Run(model, {dup});
        EXPECT_EQ(ReadWholeFile(dir / Native("other/f")), "only copy") << toTrash;
        // The file that was checked went, from the folder it was in.
        EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{dup})) << toTrash;
        EXPECT_FALSE(std::filesystem::exists(dir / Native("d.old/f"))) << toTrash;
        if (toTrash) {
            EXPECT_EQ(ReadWholeFile(home / Native("Trash/files/f")), "same");
        }
        std::filesystem::remove(dir / "d");
        std::filesystem::remove(dir / "d.old");
        dir.WriteFile("d/f", "same");
        model = SearchFolder({dir / "k", dir / "d"}, 2);
    }
}

#endif

// The copy that stays changes after its comparison, before its duplicate is gone: the
// duplicate comes back from the trash (Windows: it stays in the recycle bin, which has no
// restore by path), and the message names both files.
TEST(SafeDeleteHandles, ACopyChangedDuringTheRemovalBringsTheFileBack) {
    TempDir dir, home;
#ifndef _WIN32
    ScopedEnvVar data("XDG_DATA_HOME", home.Path().c_str());
#endif
    dir.WriteFile("k/f", "shared bytes");
    dir.WriteFile("d/f", "shared bytes");
    ResultsModel model = SearchFolder({dir.Path()}, 2);
    const std::size_t dup = model.Row(0).record->Path() == dir / Native("d/f") ? 0 : 1;
    const std::string copy = dir / Native("k/f");
    for (const bool toTrash : {true, false}) {
        SafeDelete remover(nullptr, toTrash);
        const SafeDelete::Remover removal = remover.DefaultRemover();
        LateAppend late;
        remover.SetRemover([&](platform::HeldFile& file, const platform::HeldFile::Confirm& confirm) {
            const int code = removal(file, confirm);
            late = AppendAsAnotherProgram(copy, " edited");
            return code;
        });
        const DeleteOutcome out = remover.Run(model, {dup});
        late.Wait();
        if (late.refused) {
            // The copy could not change while it was held: the duplicate went, nothing to say.
            EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{dup})) << toTrash;
            EXPECT_TRUE(out.kept.empty()) << toTrash;
            dir.WriteFile("d/f", "shared bytes");
            model = SearchFolder({dir.Path()}, 2);
            continue;
        }
        ASSERT_EQ(out.kept.size(), 1u) << toTrash;
        EXPECT_EQ(out.kept[0].first, dir / Native("d/f"));
        if (toTrash) {
#ifdef _WIN32
            EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{dup}));
            EXPECT_EQ(out.kept[0].second, "保留的副本在删除期间已改变, 此文件在回收站中: " + copy);
            EXPECT_FALSE(std::filesystem::exists(dir / Native("d/f")));
#else
            EXPECT_TRUE(out.goneRows.empty());
            EXPECT_EQ(out.kept[0].second, "保留的副本在删除期间已改变, 此文件已放回: " + copy);
            EXPECT_EQ(ReadWholeFile(dir / Native("d/f")), "shared bytes");
            EXPECT_FALSE(std::filesystem::exists(home / Native("Trash/files/f")));
            EXPECT_FALSE(std::filesystem::exists(home / Native("Trash/info/f.trashinfo")));
#endif
        } else {
            // Gone for good: it cannot come back, but the message says what happened.
            EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{dup}));
            EXPECT_EQ(out.kept[0].second,
                      "此文件已删除, 但保留的副本在删除期间已改变: " + copy);
        }
        dir.WriteFile("k/f", "shared bytes");
        dir.WriteFile("d/f", "shared bytes");
        model = SearchFolder({dir.Path()}, 2);
    }
}

TEST(KeptFilesMessageTest, NamesEachFileUpToALimit) {
    EXPECT_EQ(KeptFilesMessage({}), "");
    std::vector<std::pair<std::string, std::string>> kept;
    for (int i = 0; i < 25; ++i) kept.emplace_back("/f" + std::to_string(i), "why");
    const std::string text = KeptFilesMessage(kept, 20);
    EXPECT_EQ(text.rfind("以下文件没有被删除:\n\n/f0: why\n/f1: why\n", 0), 0u) << text;
    EXPECT_NE(text.find("\n/f19: why\n还有 5 个文件没有被删除"), std::string::npos) << text;
    EXPECT_EQ(text.find("/f20"), std::string::npos);
}

}  // namespace
