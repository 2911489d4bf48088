#include "engine/search/file_record.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>
#include <filesystem>

#include "engine/search/checksum.h"
#include "platform/error_text.h"
#include "platform/file_find.h"
#include "platform/file_reader.h"
#include "support/random_bytes.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/text/string_table.h"
#include "engine/text/text_language.h"
#include "platform/file_delete.h"
#endif

namespace {

// Bit-by-bit CRC-32 and byte sum, written independently of the table code under test.
std::uint32_t ReferenceCrc(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::uint32_t ReferenceSum(const std::string& data) {
    std::uint32_t sum = 0;
    for (unsigned char c : data) sum += c;
    return sum;
}

// Finds `name` in `folder` as the scanner would.
platform::FindData Find(const std::string& folder, const std::string& name) {
    platform::FileFinder finder;
    for (bool ok = finder.First(folder); ok; ok = finder.Next())
        if (finder.Data().cFileName == name) return finder.Data();
    ADD_FAILURE() << name << " not found in " << folder;
    return platform::FindData();
}

DetailsRequest Wanted(int sum, int crc) {
    DetailsRequest request;
    request.g_bComputeChecksum = sum;
    request.g_bComputeCrc = crc;
    return request;
}

TEST(Crc32, CheckValueChainingAndNull) {
    EXPECT_EQ(Crc32Update(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32Update(0, "", 0), 0u);
    EXPECT_EQ(Crc32Update(0x12345678u, nullptr, 10), 0u);

    // Any split of the data, at any alignment, chains to the value of one call.
    const std::string data = RandomBytes(1000, 7);
    const std::uint32_t whole = Crc32Update(0, data.data(), data.size());
    EXPECT_EQ(whole, ReferenceCrc(data));
    for (std::size_t cut : {0, 1, 3, 7, 8, 9, 500, 999, 1000}) {
        std::uint32_t crc = Crc32Update(0, data.data(), cut);
        crc = Crc32Update(crc, data.data() + cut, data.size() - cut);
        EXPECT_EQ(crc, whole) << "cut at " << cut;
    }
    for (std::size_t start = 0; start < 8; ++start) {
        const std::string tail = data.substr(start, 37);
        EXPECT_EQ(Crc32Update(0, data.data() + start, 37), ReferenceCrc(tail));
    }
    EXPECT_EQ(ByteSumUpdate(0, "\xFF\xFF\x01", 3), 0x1FFu);
    // The table code and the byte sum at every length and alignment around their strides.
    for (std::size_t start = 0; start < 16; ++start)
        for (std::size_t len = 0; len < 80; ++len) {
            const std::string piece = data.substr(start, len);
            EXPECT_EQ(Crc32UpdateTable(0, data.data() + start, len), ReferenceCrc(piece));
            EXPECT_EQ(ByteSumUpdate(3, data.data() + start, len), ReferenceSum(piece) + 3);
        }
    EXPECT_EQ(Crc32UpdateTable(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32UpdateTable(0xCBF43926u, nullptr, 1), 0u);
    // The sum wraps modulo 2^32.
    const std::string ones(1 << 20, '\xFF');
    std::uint32_t wrapped = 0xFFFFFFF0u;
    wrapped = ByteSumUpdate(wrapped, ones.data(), ones.size());
    EXPECT_EQ(wrapped, static_cast<std::uint32_t>(0xFFFFFFF0u + 255u * (1u << 20)));
}

TEST(ChecksumFile, BlockEdgesMatchReference) {
    TempDir dir;
    // Sizes around the 64000-byte block, where a short-read loop goes wrong first.
    for (std::size_t size : {std::size_t{1}, std::size_t{63999}, std::size_t{64000},
                             std::size_t{64001}, std::size_t{128000}, std::size_t{200003}}) {
        const std::string data = RandomBytes(size, static_cast<unsigned>(size));
        const std::string path = dir.WriteFile("f" + std::to_string(size), data);
        std::uint32_t sum = 0, crc = 0;
        std::uint64_t read = 0;
        ASSERT_TRUE(ChecksumFile(path, &sum, &crc, &read));
        EXPECT_EQ(read, size);
        EXPECT_EQ(crc, ReferenceCrc(data)) << size;
        EXPECT_EQ(sum, ReferenceSum(data)) << size;

        // Starting values are carried on; null pointers skip a fingerprint.
        std::uint32_t sum2 = 5;
        ASSERT_TRUE(ChecksumFile(path, &sum2, nullptr));
        EXPECT_EQ(sum2, ReferenceSum(data) + 5);
    }
    std::uint32_t untouched = 77;
    EXPECT_FALSE(ChecksumFile(dir / "missing", &untouched, &untouched));
    EXPECT_EQ(untouched, 77u);
    // A folder is no file to read.
    EXPECT_FALSE(ChecksumFile(dir.MakeDir("sub"), &untouched, nullptr));
}

TEST(FileRecord, FieldsFromFindDataAndTimeFallbacks) {
    platform::FindData fd;
    fd.dwFileAttributes = platform::kAttrReadOnly;
    fd.nFileSize = 0x180000000u;
    fd.ftLastWriteTime = 130000000000000000LL;
    fd.ftCreationTime = 0;
    fd.ftLastAccessTime = 0;
    fd.cFileName = "name.txt";
    fd.nDevice = 3;
    fd.nInode = 4;
    CFileRecord r(fd, std::string("folder") + platform::kPathSeparator);
    EXPECT_EQ(r.Path(), std::string("folder") + platform::kPathSeparator + "name.txt");
    // Records of one folder share its path and names, each keeping its own name.
    const FolderRef shared(std::make_unique<FolderNames>(std::string("dir") + platform::kPathSeparator));
    platform::FindData other = fd;
    other.cFileName = "second name.bin";
    CFileRecord first(fd, shared), second(other, shared), third(fd, shared);
    EXPECT_EQ(first.Path(), std::string("dir") + platform::kPathSeparator + "name.txt");
    EXPECT_EQ(second.Path(), std::string("dir") + platform::kPathSeparator + "second name.bin");
    EXPECT_EQ(third.Name(), "name.txt");
    EXPECT_EQ(&first.Folder(), &second.Folder());
    // The folder's names live as long as the last record (or copy of one) that names them.
    std::unique_ptr<CFileRecord> copy;
    {
        const FolderRef gone(std::make_unique<FolderNames>(std::string("gone") + platform::kPathSeparator));
        const CFileRecord made(other, gone);
        copy = std::make_unique<CFileRecord>(made);
    }
    EXPECT_EQ(copy->Path(), std::string("gone") + platform::kPathSeparator + "second name.bin");
    // A record is made for every file: it stays within 88 bytes where pointers are 64 bits, so
    // that with the heap's header it takes a 96-byte block.
    if (sizeof(void*) == 8) {
        EXPECT_LE(sizeof(CFileRecord), 88u);
    }
    EXPECT_EQ(r.m_nSize, 0x180000000LL);  // the low half is unsigned
    EXPECT_EQ(r.m_dwAttributes, platform::kAttrReadOnly);
    platform::FileTime local = 0;
    ASSERT_TRUE(platform::FileTimeToLocalFileTime(fd.ftLastWriteTime, &local));
    EXPECT_EQ(r.m_ftWritten, local);
    EXPECT_EQ(r.m_ftCreated, local);
    EXPECT_EQ(r.m_ftAccessed, local);
    EXPECT_EQ(r.m_dwCrc, 0u);
    EXPECT_EQ(r.m_dwChecksum, 0u);

    // Real creation and access times are kept, each independently of the other.
    fd.ftCreationTime = 120000000000000000LL;
    CFileRecord r2(fd, "");
    EXPECT_NE(r2.m_ftCreated, r2.m_ftWritten);
    EXPECT_EQ(r2.m_ftAccessed, r2.m_ftWritten);
}

TEST(FileRecord, ComputeDetailsReadsOnceAndOnlyWhatIsAsked) {
    TempDir dir;
    const std::string data = RandomBytes(150000, 3);
    dir.WriteFile("a.bin", data);
    {
        CFileRecord r(Find(dir.Path(), "a.bin"), dir.Path());
        r.ComputeDetails(Wanted(1, 1));
        EXPECT_EQ(r.m_dwCrc, ReferenceCrc(data));
        EXPECT_EQ(r.m_dwChecksum, ReferenceSum(data));
        EXPECT_FALSE(r.IsUnreadable());
        // Known fingerprints are not read again, even when the file has gone since.
        std::remove(r.Path().c_str());
        r.ComputeDetails(Wanted(1, 1));
        EXPECT_EQ(r.m_dwCrc, ReferenceCrc(data));
        EXPECT_FALSE(r.IsUnreadable());
    }
    dir.WriteFile("a.bin", data);
    {
        // A read stopped between blocks is neither known nor failed: asked again, the file is
        // read whole and gets its true fingerprints.
        CFileRecord r(Find(dir.Path(), "a.bin"), dir.Path());
        DetailsRequest stopped = Wanted(1, 1);
        int asked = 0;
        stopped.stop = [&asked] { return ++asked == 2; };
        r.ComputeDetails(stopped);
        EXPECT_EQ(asked, 2);
        EXPECT_FALSE(r.DetailsKnown());
        r.ComputeDetails(Wanted(1, 1));
        EXPECT_TRUE(r.DetailsKnown());
        EXPECT_FALSE(r.IsUnreadable());
        EXPECT_EQ(r.m_dwCrc, ReferenceCrc(data));
        EXPECT_EQ(r.m_dwChecksum, ReferenceSum(data));
    }
    {
        CFileRecord r(Find(dir.Path(), "a.bin"), dir.Path());
        r.ComputeDetails(Wanted(0, 1));
        EXPECT_EQ(r.m_dwCrc, ReferenceCrc(data));
        EXPECT_EQ(r.m_dwChecksum, 0u);
    }
    {
        CFileRecord r(Find(dir.Path(), "a.bin"), dir.Path());
        r.ComputeDetails(Wanted(0, 0));
        EXPECT_EQ(r.m_dwCrc, 0u);
        EXPECT_FALSE(r.DetailsKnown());
    }
    {
        dir.MakeDir("folder");
        CFileRecord folder(Find(dir.Path(), "folder"), dir.Path());
        folder.ComputeDetails(Wanted(1, 1));
        EXPECT_EQ(folder.m_dwCrc, 0u);
        EXPECT_FALSE(folder.IsUnreadable());
    }
}

// The disk's turn of a read, counted.
class CountingTurn : public platform::DiskTurn {
public:
    bool Held() const override { return m_held; }
    void Take() override {
        ++takes;
        m_held = true;
    }
    int takes = 0;

private:
    bool m_held = false;
};

// A first look that keeps a small file's bytes: right bytes and fingerprints; no turn on the
// disk for bytes in memory, one turn for a file that must come from the disk (where the system
// tells the two apart); the end seen by the read itself, and nothing past the limit kept.
TEST(FileRecord, AFirstLookTakesTheDisksTurnOnlyWhenItMustAndSeesTheEnd) {
    TempDir dir;
    const std::string data = RandomBytes(3000, 5);
    dir.WriteFile("small", data);
    const auto look = [&](CFileRecord& r, CountingTurn* turn, std::vector<unsigned char>* bytes,
                          bool* kept) {
        DetailsRequest request = Wanted(1, 1);
        request.firstBlock = true;
        bytes->assign(static_cast<std::size_t>(r.m_nSize), 0);
        request.keepInto = bytes->data();
        request.kept = kept;
        request.turn = turn;
        r.ComputeDetails(request);
    };
    {
        CFileRecord r(Find(dir.Path(), "small"), dir.Path());
        CountingTurn turn;
        std::vector<unsigned char> bytes;
        bool kept = false;
        look(r, &turn, &bytes, &kept);
        EXPECT_TRUE(kept);
        EXPECT_FALSE(r.IsUnreadable());
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), data);
        EXPECT_EQ(r.m_dwCrc, ReferenceCrc(data));
        EXPECT_EQ(r.m_dwChecksum, ReferenceSum(data));
#ifdef _WIN32
        EXPECT_EQ(turn.takes, 1) << "nothing tells memory from the disk: every read waits";
#else
        EXPECT_EQ(turn.takes, 0) << "just written: in memory";
#endif
    }
#ifndef _WIN32
    {
        // Out of memory (where the file system lets it go): read from the disk, in one turn.
        // Another program's reads on a busy machine can bring the pages back between the probe
        // and the look: a few tries, of which one that began out of memory must take the turn.
        int uncached = 0, tookTurn = 0;
        for (int attempt = 0; attempt < 5 && tookTurn == 0; ++attempt) {
            const int fd = open((dir / "small").c_str(), O_RDONLY);
            ASSERT_GE(fd, 0);
            fsync(fd);
            posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            close(fd);
            platform::FileReader probe;
            ASSERT_TRUE(probe.Open(dir / "small", false));
            if (probe.CachedFrom(0)) continue;
            probe.Close();
            ++uncached;
            CFileRecord r(Find(dir.Path(), "small"), dir.Path());
            CountingTurn turn;
            std::vector<unsigned char> bytes;
            bool kept = false;
            look(r, &turn, &bytes, &kept);
            EXPECT_TRUE(kept);
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), data);
            EXPECT_LE(turn.takes, 1);
            tookTurn += turn.takes;
        }
        if (uncached > 0) {
            EXPECT_EQ(tookTurn, 1) << uncached << " tries began out of memory";
        }
    }
#endif
    {
        // The read asks one byte more than is left: short, the end is seen; not short, it is not.
        platform::FileReader reader;
        ASSERT_TRUE(reader.Open(dir / "small"));
        std::uint32_t sum = 0, crc = 0;
        std::uint64_t read = 0;
        bool end = false;
        EXPECT_EQ(ReadFingerprints(reader, 3000, &sum, &crc, &read, nullptr, nullptr, &end), 0);
        EXPECT_TRUE(end);
        EXPECT_EQ(read, 3000u);
        // A byte more than the limit is there: not the end, and neither counted nor copied.
        dir.WriteFile("longer", data + "!");
        ASSERT_TRUE(reader.Open(dir / "longer"));
        std::vector<unsigned char> copy(3000);
        sum = crc = 0;
        EXPECT_EQ(ReadFingerprints(reader, 3000, &sum, &crc, &read, nullptr, copy.data(), &end), 0);
        EXPECT_FALSE(end);
        EXPECT_EQ(read, 3000u);
        EXPECT_EQ(std::string(copy.begin(), copy.end()), data);
        EXPECT_EQ(crc, ReferenceCrc(data));
    }
}

TEST(FileRecord, EmptyAndUnreadableFiles) {
    TempDir dir;
    dir.WriteFile("empty", "");
    CFileRecord empty(Find(dir.Path(), "empty"), dir.Path());
    empty.ComputeDetails(Wanted(1, 1));
    EXPECT_EQ(empty.m_dwCrc, 0u);
    EXPECT_EQ(empty.m_dwChecksum, 0u);
    EXPECT_FALSE(empty.IsUnreadable());

    // Removed after the scan: the record must not pass for a file of zero contents.
    dir.WriteFile("gone", std::string(5000, 'x'));
    CFileRecord gone(Find(dir.Path(), "gone"), dir.Path());
    std::remove((dir / "gone").c_str());
    gone.ComputeDetails(Wanted(1, 1));
    EXPECT_TRUE(gone.IsUnreadable());

    // Shrunk after the scan: fewer bytes than the size found.
    dir.WriteFile("shrinks", std::string(70000, 'y'));
    CFileRecord shrinks(Find(dir.Path(), "shrinks"), dir.Path());
    dir.WriteFile("shrinks", std::string(100, 'y'));
    shrinks.ComputeDetails(Wanted(1, 1));
    EXPECT_TRUE(shrinks.IsUnreadable());

    // Grown after the scan: the contents are not those of the size found either.
    dir.WriteFile("grows", std::string(100, 'z'));
    CFileRecord grows(Find(dir.Path(), "grows"), dir.Path());
    dir.WriteFile("grows", std::string(64000, 'z'));
    grows.ComputeDetails(Wanted(1, 1));
    EXPECT_TRUE(grows.IsUnreadable());
    EXPECT_EQ(grows.ReadErrorText(), "文件在搜索期间已改变");
    // ENOENT and ERROR_FILE_NOT_FOUND are both 2.
    EXPECT_EQ(gone.ReadErrorText(), platform::ErrorText(2));
}

#ifndef _WIN32
// Another program's lock on a file is named as such, not as a delete of this program's, in
// both languages.
TEST(FileRecord, AnotherProgramsLockIsNamedSo) {
    TempDir dir;
    const std::string path = dir.WriteFile("held", "held");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0 || flock(fd, LOCK_EX) != 0) _exit(1);
        (void)!write(ready[1], "x", 1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    platform::HeldFile file;
    const int code = file.Open(path, platform::HeldFile::kGoes);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    ASSERT_EQ(code, platform::kErrorLocked);
    EXPECT_EQ(CFileRecord::ErrorCodeText(code), "另一个程序正在使用此文件");
    std::string why;
    ASSERT_TRUE(UseTextLanguage(TextLanguage::kEnglish, &why)) << why;
    const std::string english = CFileRecord::ErrorCodeText(code);
    UseOriginalTexts();
    EXPECT_EQ(english, "Another program is using this file");
}
#endif

}  // namespace
