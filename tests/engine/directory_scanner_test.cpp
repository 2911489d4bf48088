#include "engine/search/directory_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include "support/platform_rules.h"
#include "support/recording_sink.h"
#include "support/scan_support.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST(DirectoryScanner, StartPathFormsAndStatusLines) {
    TempDir dir;
    dir.WriteFile("data/a.txt", "a");
    dir.WriteFile("data/sub/b.txt", "b");
    dir.WriteFile("other/c.txt", "c");
    const std::string data = dir / "data";  // typed without the trailing separator

    RecordingSink sink;
    const auto found = Scan(data, "*.*", nullptr, &sink);
    // Files of a folder come before those of its subfolders; paths use the normalised folder.
    EXPECT_EQ(found, (std::vector<std::string>{data + Native("/a.txt"), data + Native("/sub/b.txt")}));
    ASSERT_FALSE(sink.Folders().empty());
    EXPECT_EQ(sink.Folders().front(), data);  // the status shows the text as typed
    EXPECT_EQ(sink.Folders().back(), data + Native("/sub/"));
    EXPECT_EQ(sink.Counts().back(), "发现 2 个文件在 2 个目录中");
    EXPECT_TRUE(sink.m_skipped.empty());

    // A list: empty elements are skipped, and the folder count restarts for every start
    // folder while the file count keeps growing.
    RecordingSink counts2;
    RecordList records;
    CDirectoryScanner scanner(&counts2);
    scanner.ScanPathList(records, {data, "", dir / "other"}, "*.*", nullptr);
    std::vector<std::string> listed;
    for (const auto& record : records) listed.push_back(record->Path());
    EXPECT_EQ(listed, (std::vector<std::string>{data + Native("/a.txt"), data + Native("/sub/b.txt"),
                                                 dir / Native("other/c.txt")}));
    EXPECT_EQ(counts2.Counts().back(), "发现 3 个文件在 1 个目录中");
    EXPECT_EQ(scanner.m_nStartFoldersOpened, 2);

    // A ";" is part of a folder's name, never a list separator.
    dir.WriteFile("data;other/e.txt", "e");
    EXPECT_EQ(Scan(data + ";other", "*.*"),
              std::vector<std::string>{dir / Native("data;other/e.txt")});

#ifndef _WIN32
    // A single path is walked exactly as typed: a folder whose name ends in a blank is found,
    // and a typed blank that is not part of the name finds nothing. (Windows drops trailing
    // blanks from names itself.)
    dir.WriteFile("blank /d.txt", "d");
    EXPECT_EQ(Scan(dir / "blank ", "*.*").size(), 1u);
    EXPECT_TRUE(Scan(dir / "data ", "*.*").empty());
#endif
    // A start path that cannot be opened is passed over with the system's reason.
    RecordingSink missing;
    EXPECT_TRUE(Scan(dir / "missing", "*.*", nullptr, &missing).empty());
    ASSERT_EQ(missing.m_skipped.size(), 1u);
    EXPECT_EQ(missing.m_skipped[0].first, dir / "missing");
    EXPECT_FALSE(missing.m_skipped[0].second.empty());
    EXPECT_EQ(missing.m_skipKinds[0], SkipKind::kStartPath);

    // An empty element of the start path list names nothing (not the current folder).
    records.clear();
    CDirectoryScanner quiet(nullptr);
    EXPECT_EQ(quiet.ScanPathList(records, {""}, "*.*", nullptr), 0);
}

TEST(DirectoryScanner, MaskListShapes) {
    TempDir dir;
    dir.WriteFile("readme", "1");
    dir.WriteFile("readme.txt", "2");
    dir.WriteFile("notes.txt", "3");
    dir.WriteFile("old.tmp", "4");
    dir.WriteFile("temp/in.dat", "5");
    dir.WriteFile("temp/deep/x.dat", "6");
    const std::string root = dir.Path();
    const auto names = [&](const std::string& mask) {
        std::vector<std::string> found;
        for (const std::string& p : Scan(root, Native(mask)))
            found.push_back(p.substr(root.size()));
        return Sorted(found);
    };
    EXPECT_EQ(names("*.*").size(), 6u);
    EXPECT_TRUE(names("~*.tmp").empty());  // exclude pieces alone admit nothing
    EXPECT_EQ(names("*.*;~*.tmp").size(), 5u);
    EXPECT_EQ(names("~*.tmp;*.*").size(), 6u);  // the exclude piece came too early
    EXPECT_EQ(names("readme"), (std::vector<std::string>{"readme"}));
    EXPECT_EQ(names(".txt"), (std::vector<std::string>{"notes.txt", "readme.txt"}));
    EXPECT_TRUE(names("/temp/").empty());  // a folder piece without a file pattern
    EXPECT_EQ(names("/temp/*/"),
              (std::vector<std::string>{Native("temp/deep/x.dat"), Native("temp/in.dat")}));
    EXPECT_TRUE(names("").empty());
    EXPECT_TRUE(names(";;~").empty());
}

TEST(DirectoryScanner, DotFoldersFilterAndCancel) {
    TempDir dir;
    // A folder whose name begins with dots is entered ("..." cannot be named on Windows).
    const std::string dots = std::string(kWindows ? "..x" : "...") + Native("/in-dots.txt");
    dir.WriteFile(dots, "x");
    dir.WriteFile("big.bin", std::string(500, 'b'));
    dir.WriteFile("small.bin", "s");
    EXPECT_EQ(Sorted(Scan(dir.Path(), "*.*")),
              Sorted({dir / dots, dir / "big.bin", dir / "small.bin"}));

    // Files the filter leaves out change neither the records nor the status line.
    SearchFilter filter;
    filter.m_nMinSize = 100;
    RecordingSink counts;
    const auto kept = Scan(dir.Path(), "*.bin", &filter, &counts);
    EXPECT_EQ(kept, (std::vector<std::string>{dir / "big.bin"}));
    EXPECT_EQ(counts.Counts(), (std::vector<std::string>{"发现 1 个文件在 1 个目录中"}));

    // Cancel in a deep walk: nothing below the folder where it was pressed is recorded (listers
    // may have listed some of it ahead).
    std::string deep;
    for (int level = 0; level < 30; ++level) {
        deep += "d" + std::to_string(level) + "/";
        dir.WriteFile(deep + "f.txt", "f");
    }
    class CancelAt : public RecordingSink {
    public:
        explicit CancelAt(std::string at) : m_at(std::move(at)) {}
        void SetStatus(const std::string& text) override {
            RecordingSink::SetStatus(text);
            if (text == m_at) m_cancel = true;
        }
        std::string m_at;
    };
    CancelAt sink(dir / Native("d0/d1/d2/"));
    RecordList records;
    CDirectoryScanner scanner(&sink);
    scanner.ScanPathList(records, {dir / "d0"}, "*.*", nullptr);
    EXPECT_EQ(sink.m_texts.back(), dir / Native("d0/d1/d2/"));
    EXPECT_EQ(records.size(), 2u);  // d0/f.txt and d0/d1/f.txt
}

// Folders are listed ahead of the walk on other threads: what it finds, the folders it names
// and the counts it shows come in the same order whatever their number, and a stop leaves it
// at the same place.
TEST(DirectoryScanner, ListersAheadChangeNothingTheWalkFinds) {
    TempDir dir;
    // Four levels of five subfolders (156 folders); a few files in most, none in some.
    int made = 0;
    std::size_t files = 0;
    std::function<void(const std::string&, int)> make = [&](const std::string& at, int level) {
        const int here = (made++ + 1) % 4;
        files += static_cast<std::size_t>(here);
        for (int f = 0; f < here; ++f) dir.WriteFile(at + "f" + std::to_string(f) + ".txt", "x");
        dir.WriteFile(at + "left-out.log", "x");
        if (level == 3) return;
        for (int sub = 0; sub < 5; ++sub) make(at + "s" + std::to_string(sub) + "/", level + 1);
    };
    make("tree/", 0);
    class StopAt : public RecordingSink {
    public:
        void SetStatus(const std::string& text) override {
            RecordingSink::SetStatus(text);
            if (!m_at.empty() && text == m_at) m_cancel = true;
        }
        std::string m_at;
    };
    const auto walk = [&](int listers, const std::string& stopAt, std::vector<std::string>* texts) {
        StopAt sink;
        sink.m_at = stopAt;
        RecordList records;
        CDirectoryScanner scanner(&sink);
        scanner.m_listers = listers;
        scanner.ScanPathList(records, {dir / "tree"}, "*.txt", nullptr);
        std::vector<std::string> found;
        for (const auto& r : records) found.push_back(r->Path());
        *texts = sink.m_texts;
        return found;
    };
    std::vector<std::string> alone;
    const std::vector<std::string> found = walk(0, "", &alone);
    ASSERT_EQ(found.size(), files);
    // Depth-first, a folder's files before its subfolders.
    const std::string top = dir / Native("tree/");
    EXPECT_EQ(found[0].substr(0, found[0].rfind(Native("/")[0]) + 1), top);
    const std::string stopAt = dir / Native("tree/s2/s1/");
    std::vector<std::string> aloneStopped;
    const std::vector<std::string> stopped = walk(0, stopAt, &aloneStopped);
    EXPECT_LT(stopped.size(), found.size());
    EXPECT_GT(stopped.size(), 0u);
    for (const int listers : {1, 3, 8}) {
        SCOPED_TRACE(listers);
        std::vector<std::string> texts;
        EXPECT_EQ(walk(listers, "", &texts), found);
        EXPECT_EQ(texts, alone);
        EXPECT_EQ(walk(listers, stopAt, &texts), stopped);
        EXPECT_EQ(texts, aloneStopped);
    }
}

#ifndef _WIN32
TEST(DirectoryScanner, SpecialFilesLinksAndDepth) {
    TempDir dir;
    dir.WriteFile("real.txt", "r");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink(".", (dir / "loop").c_str()), 0);
    ASSERT_EQ(symlink("real.txt", (dir / "link.txt").c_str()), 0);
    dir.WriteFile("odd\\ \xFF.txt", "o");
    // Names holding a line feed or a carriage return are files like any other.
    dir.WriteFile("new\nline.txt", "n");
    dir.WriteFile("carriage\rreturn\x01.txt", "c");
    EXPECT_EQ(Sorted(Scan(dir.Path(), "*.*")),
              Sorted({dir / "carriage\rreturn\x01.txt", dir / "new\nline.txt",
                      dir / "odd\\ \xFF.txt", dir / "real.txt"}));

    // A tree some 1500 levels deep, walked without running out of stack.
    std::string deep;
    while ((dir.Path() + deep).size() < 3000) deep += "d/";
    dir.MakeDir(deep);
    dir.WriteFile(deep + "bottom.txt", "b");
    const auto found = Scan(dir / "d", "*.txt");
    EXPECT_EQ(found, (std::vector<std::string>{dir.Path() + deep + "bottom.txt"}));

    // A folder that cannot be read is passed over and named; the walk goes on beside it. Walked
    // as nobody, since root reads anything (a small tree: the child has no helper thread).
    TempDir small;
    small.WriteFile("open/y.txt", "y");
    small.WriteFile("locked/x.txt", "x");
    ASSERT_EQ(chmod((small / "locked").c_str(), 0), 0);
    ASSERT_TRUE(unprivileged::GiveToNobody(small.Path()));
    const std::string seen = unprivileged::RunUnprivileged([&small] {
        RecordingSink sink;
        std::string text;
        for (const std::string& path : Scan(small.Path(), "*.*", nullptr, &sink))
            text += "found " + path + "\n";
        for (const auto& skipped : sink.m_skipped) text += "passed over " + skipped.first + "\n";
        return text;
    });
    EXPECT_EQ(seen,
              "found " + (small / "open/y.txt") + "\npassed over " + (small / "locked/") + "\n");
    chmod((small / "locked").c_str(), 0755);
}

// The threads of this process, as the kernel lists them.
std::size_t ThreadCount() {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        (void)entry;
        ++count;
    }
    return count;
}

TEST(DirectoryScanner, HelperThreadEndsWithTheScanner) {
    TempDir dir;
    for (int i = 0; i < 40; ++i) dir.WriteFile("many/f" + std::to_string(i), "x");
    const std::size_t before = ThreadCount();
    {
        RecordList records;
        CDirectoryScanner scanner(nullptr);
        EXPECT_EQ(scanner.ScanPathList(records, {dir / "many"}, "*.*", nullptr), 40);
        // A second core, when there is one, shares the listing while the scanner lives.
        if (std::thread::hardware_concurrency() > 1) {
            EXPECT_EQ(ThreadCount(), before + 1);
        }
    }
    EXPECT_EQ(ThreadCount(), before);
}

// An overlay beside its own lower folder shows each file twice, on two devices: the overlay
// is passed over and named, whether it is a start path or a folder met in the walk.
TEST(DirectoryScanner, AnOverlayOfASearchedFolderIsPassedOver) {
    TempDir dir;
    dir.WriteFile("lower/f.txt", "layered");
    dir.MakeDir("upper");
    dir.MakeDir("work");
    dir.MakeDir("view");
    const std::string options = "lowerdir=" + (dir / "lower") + ",upperdir=" + (dir / "upper") +
                                ",workdir=" + (dir / "work");
    if (mount("overlay", (dir / "view").c_str(), "overlay", 0, options.c_str()) != 0)
        GTEST_SKIP() << "no overlay mount here: " << std::strerror(errno);
    struct Unmount {
        std::string path;
        ~Unmount() { umount(path.c_str()); }
    } unmount{dir / "view"};
    ASSERT_EQ(ReadWholeFile(dir / "view/f.txt"), "layered");
    const std::string reason = "相同的文件通过另一个目录搜索";

    RecordingSink beside;
    EXPECT_EQ(Scan({dir / "lower/", dir / "view/"}, "*.*", nullptr, &beside),
              (std::vector<std::string>{dir / "lower/f.txt"}));
    EXPECT_EQ(beside.m_skipped, (std::vector<std::pair<std::string, std::string>>{
                                    {dir / "view/", reason}}));

    // A second view of the same folder deeper down, where its parent's device tells it is a
    // mount point, is passed over too.
    dir.MakeDir("deep/upper");
    dir.MakeDir("deep/work");
    dir.MakeDir("deep/below/view");
    const std::string deepOptions = "lowerdir=" + (dir / "lower") + ",upperdir=" +
                                    (dir / "deep/upper") + ",workdir=" + (dir / "deep/work");
    ASSERT_EQ(mount("overlay", (dir / "deep/below/view").c_str(), "overlay", 0, deepOptions.c_str()), 0)
        << std::strerror(errno);
    Unmount unmountDeep{dir / "deep/below/view"};
    RecordingSink within;
    const std::vector<std::string> found = Scan(dir.Path(), "*.*", nullptr, &within);
    EXPECT_EQ(std::count(found.begin(), found.end(), dir / "view/f.txt"), 0);
    EXPECT_EQ(std::count(found.begin(), found.end(), dir / "deep/below/view/f.txt"), 0);
    EXPECT_EQ(std::count(found.begin(), found.end(), dir / "lower/f.txt"), 1);
    std::vector<std::pair<std::string, std::string>> passed = within.m_skipped;
    std::sort(passed.begin(), passed.end());
    EXPECT_EQ(passed, (std::vector<std::pair<std::string, std::string>>{
                          {dir / "deep/below/view/", reason}, {dir / "view/", reason}}));

    // The overlay alone is searched like any folder.
    RecordingSink alone;
    EXPECT_EQ(Scan(dir / "view", "*.*", nullptr, &alone),
              (std::vector<std::string>{dir / "view/f.txt"}));
    EXPECT_TRUE(alone.m_skipped.empty());
}

TEST(DirectoryScanner, PlaceKeywords) {
    // The local-disk keyword becomes the disks' roots.
    std::vector<std::string> roots;
    const int disks = ExpandLocalDrives("本地硬盘", roots);
    EXPECT_EQ(roots.size(), static_cast<std::size_t>(disks));
    std::vector<std::string> folders;
    EXPECT_EQ(ExpandPathSpec("本地硬盘", folders), disks > 0 ? 1 : 0);
    EXPECT_EQ(folders.size(), static_cast<std::size_t>(disks));
    for (const std::string& folder : folders) EXPECT_EQ(folder.back(), '/');
    // A ";" is part of a name here, never a list: the path is walked as it stands.
    EXPECT_EQ(ExpandPathSpec("/a;b/", folders), 0);
    EXPECT_TRUE(folders.empty());
    // A server with no mounted shares expands to nothing; walked as the path it also is, it
    // finds nothing here (the command line's tests walk one that exists).
    EXPECT_TRUE(IsPlaceKeyword("//no-such-server"));
    EXPECT_TRUE(IsPlaceKeyword("//no-such-server/"));
    EXPECT_FALSE(IsPlaceKeyword("//server/share/x"));
    EXPECT_EQ(ExpandPathSpec("//no-such-server", folders), 0);
    EXPECT_TRUE(Scan("//no-such-server", "*.*").empty());
    EXPECT_EQ(ExpandLocalDrives("/tmp", roots), 0);
    EXPECT_TRUE(roots.empty());
}
#endif

}  // namespace
