// The grouping must give exactly the rows of the plain pairwise loop: each remaining file,
// in size order, takes every later file of its size with the same fingerprints that is not
// its own file, and that group leaves the list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <random>

#include "engine/search/checksum.h"
#include "engine/search/duplicate_search.h"
#include "engine/text/text_format.h"
#include "support/platform_rules.h"

namespace {

// A file whose fingerprints are set by the test instead of read from a disk. Its record is a
// plain one, made here and handed to the list; the search reads it through Read.
class FakeRecord {
public:
    FakeRecord(int id, std::int64_t size, std::uint32_t crc, std::uint32_t sum,
               std::uint64_t inode, bool unreadable)
        : FakeRecord("f" + std::to_string(id), size, crc, sum, inode, unreadable) {}
    FakeRecord(const std::string& path, std::int64_t size, std::uint32_t crc, std::uint32_t sum,
               std::uint64_t inode, bool unreadable)
        : m_record(std::make_unique<CFileRecord>(platform::FindData(), path)),
          m_content((static_cast<std::uint64_t>(crc) << 32) | sum),
          m_crc(crc), m_sum(sum), m_unreadableWhenRead(unreadable) {
        m_record->m_nSize = size;
        m_record->m_nDevice = 1;
        m_record->m_nInode = inode;
        Known()[m_record.get()] = this;
    }
    ~FakeRecord() { Known().erase(m_pRecord); }
    void ComputeDetails() {
        ++m_reads;
        m_pRecord->SetDetails(m_crc, m_sum, false, m_unreadableWhenRead ? 5 : 0);
    }
    CFileRecord& Record() const { return *m_pRecord; }
    // The record, for the list that is to own it.
    std::unique_ptr<CFileRecord> Release() { return std::move(m_record); }

    static FakeRecord& Of(const CFileRecord& record) { return *Known().at(&record); }
    static void Read(CFileRecord& record, const DetailsRequest&) { Of(record).ComputeDetails(); }

    int m_reads = 0;

private:
    static std::unordered_map<const CFileRecord*, FakeRecord*>& Known() {
        static std::unordered_map<const CFileRecord*, FakeRecord*> known;
        return known;
    }
    std::unique_ptr<CFileRecord> m_record;
    CFileRecord* m_pRecord = m_record.get();

public:
    // What the file holds: equal fingerprints with other contents stand for a CRC and sum
    // collision.
    std::uint64_t m_content;

private:
    std::uint32_t m_crc, m_sum;
    bool m_unreadableWhenRead;
};

struct Row {
    std::string path;
    int image;
    bool details;
    bool operator==(const Row& o) const {
        return path == o.path && image == o.image && details == o.details;
    }
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << r.path << "/" << r.image << (r.details ? "+" : "");
}

// The bytes of a fake file: its contents id, over and over.
unsigned char FakeByte(std::uint64_t content, std::uint64_t at) {
    return static_cast<unsigned char>(content >> (8 * (at % 8)));
}

std::string FakeBytes(std::uint64_t content, std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(FakeByte(content, i));
    return bytes;
}

// A fake file opened for the joint read: the bytes of its contents id.
class FakeSource : public BlockSource {
public:
    explicit FakeSource(const FakeRecord& fake) : m_fake(fake) {}
    long ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t want, int*) override {
        const std::uint64_t size = static_cast<std::uint64_t>(m_fake.Record().m_nSize);
        unsigned char pattern[8];
        for (int i = 0; i < 8; ++i) pattern[i] = FakeByte(m_fake.m_content, static_cast<std::uint64_t>(i));
        std::size_t got = 0;
        for (; got < want && offset + got < size; ++got) buffer[got] = pattern[(offset + got) % 8];
        return static_cast<long>(got);
    }
    int CheckEnd(std::uint64_t) override { return 0; }

private:
    const FakeRecord& m_fake;
};

std::unique_ptr<BlockSource> OpenFake(const CFileRecord& record, int*) {
    return std::make_unique<FakeSource>(FakeRecord::Of(record));
}

// The pairwise loop, written plainly, with the contents confirmed and every file (inode) at
// most once in a group: a record of a file already in the group leaves the list unlisted.
// Stops before step `cancelAtStep` (counting from 1).
std::vector<Row> ReferenceRows(std::vector<FakeRecord*> list, int* count, std::int64_t* bytes,
                               int cancelAtStep = -1) {
    std::vector<Row> rows;
    *count = 0;
    *bytes = 0;
    int step = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (++step == cancelAtStep) break;
        FakeRecord* n = list[i];
        const CFileRecord& nr = n->Record();
        bool started = false;
        std::vector<std::uint64_t> inGroup = {nr.m_nInode};
        for (std::size_t k = i + 1; k < list.size(); ++k) {
            FakeRecord* p = list[k];
            const CFileRecord& pr = p->Record();
            if (nr.m_nSize > pr.m_nSize) break;
            if (nr.m_nSize != pr.m_nSize || nr.m_nInode == pr.m_nInode) continue;
            n->ComputeDetails();
            p->ComputeDetails();
            if (nr.IsUnreadable() || pr.IsUnreadable()) continue;
            if (nr.m_dwCrc != pr.m_dwCrc || nr.m_dwChecksum != pr.m_dwChecksum) continue;
            // Bytes: the contents ids' (all empty files are equal).
            if (n->m_content != p->m_content && nr.m_nSize != 0) continue;
            const bool listed =
                std::find(inGroup.begin(), inGroup.end(), pr.m_nInode) != inGroup.end();
            if (!listed) {
                if (!started) rows.push_back({nr.Path(), 0, true});
                started = true;
                ++*count;
                *bytes += nr.m_nSize;
                rows.push_back({pr.Path(), 1, false});
                inGroup.push_back(pr.m_nInode);
            }
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(k));
            --k;
        }
        if (started) {
            rows.back().image = 2;
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
            --i;
        }
    }
    return rows;
}

std::vector<Row> ModelRows(const ResultsModel& model) {
    std::vector<Row> rows;
    for (std::size_t r = 0; r < model.RowCount(); ++r)
        rows.push_back({model.Row(r).record->Path(), model.Row(r).image,
                        model.Row(r).showsDetails});
    return rows;
}

// The path of record `id` of the file `inode`. On POSIX files are told apart by their inode,
// so any distinct name does; on Windows the path is what names a file, so every record of one
// file has that file's name, in a letter case of its own.
std::string PathOf(int id, std::uint64_t inode) {
    if (!kWindows) return "f" + std::to_string(id);
    std::string name = "abcdef" + std::to_string(inode);
    for (int bit = 0; bit < 6; ++bit)
        if (id & (1 << bit)) name[bit] = static_cast<char>(name[bit] - 'a' + 'A');
    return name;
}

// Random records already in size order (largest first, ties in creation order). Some
// records repeat an earlier file (a hard link or an overlapping start path): same inode, same
// size, same contents.
void MakeRecords(std::mt19937& gen, std::vector<std::unique_ptr<FakeRecord>>* fakes,
                 RecordList* records, std::vector<FakeRecord*>* reference) {
    struct File {
        std::int64_t size;
        std::uint32_t print;
        std::uint64_t inode;
        bool unreadable;
        std::uint64_t content;
    };
    const int count = 1 + static_cast<int>(gen() % 60);
    const int sizes = 1 + static_cast<int>(gen() % 6);
    const int prints = 1 + static_cast<int>(gen() % 4);
    std::vector<File> files;
    std::vector<std::unique_ptr<FakeRecord>> made;
    for (int id = 0; id < count; ++id) {
        if (files.empty() || gen() % 5 != 0) {
            const auto print = static_cast<std::uint32_t>(gen() % prints);
            // One file in six collides: the fingerprints of another, contents of its own.
            const std::uint64_t content = gen() % 6 == 0 ? 100 + gen() % 3 : print;
            files.push_back({static_cast<std::int64_t>(gen() % sizes) * 1000, print,
                             1000 + files.size(), gen() % 23 == 0, content});
        }
        const File& f = gen() % 5 == 0 ? files[gen() % files.size()] : files.back();
        made.push_back(std::make_unique<FakeRecord>(PathOf(id, f.inode), f.size, f.print,
                                                    f.print * 7 + 1, f.inode, f.unreadable));
        made.back()->m_content = f.content;
    }
    std::stable_sort(made.begin(), made.end(), [](const auto& a, const auto& b) {
        return a->Record().m_nSize > b->Record().m_nSize;
    });
    for (auto& r : made) {
        reference->push_back(r.get());
        records->push_back(r->Release());
        fakes->push_back(std::move(r));
    }
}

class CancellingSink : public ProgressSink {
public:
    CancellingSink(int* flag, int cancelAtStep) : m_flag(flag), m_cancelAtStep(cancelAtStep) {}
    void SetStatus(const std::string& text) override { m_last = text; }
    void DuplicatesFound(int count, std::int64_t bytes) override {
        m_last = FormatDuplicatesRunning(count, bytes);
    }
    void SetTotal(std::int64_t total) override { m_total = total; }
    void StepProgress(std::int64_t amount) override {
        m_steps += static_cast<int>(amount);
        if (m_steps == m_cancelAtStep) *m_flag = 1;
    }
    bool Cancelled() override { return *m_flag != 0; }
    int m_steps = 0;
    std::int64_t m_total = -1;
    std::string m_last;

private:
    int* m_flag;
    int m_cancelAtStep;
};

TEST(DuplicateGrouping, SameRowsAsThePairwiseLoop) {
    std::mt19937 gen(20261208);
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::unique_ptr<FakeRecord>> fakes;
        RecordList records;
        std::vector<FakeRecord*> plain;
        MakeRecords(gen, &fakes, &records, &plain);
        const int cancelAt = round % 4 == 0 ? 1 + static_cast<int>(gen() % 40) : -1;
        int count = 0;
        std::int64_t bytes = 0;
        const std::vector<Row> expected = ReferenceRows(plain, &count, &bytes, cancelAt);

        int cancel = 0;
        CancellingSink sink(&cancel, cancelAt);
        DuplicateSearch search(&sink);
        search.m_read = FakeRecord::Read;
        search.m_open = OpenFake;
        ResultsModel model;
        const std::size_t total = records.size();
        search.GroupDuplicates(records, model);
        ASSERT_EQ(ModelRows(model), expected) << "round " << round;
        EXPECT_EQ(model.DuplicateCount(), count);
        EXPECT_EQ(model.DuplicateBytes(), bytes);
        EXPECT_EQ(sink.m_total, static_cast<std::int64_t>(total));
    }
}

TEST(DuplicateGrouping, ThreeAndTwoCopiesUnreadableAndStatus) {
    std::vector<std::unique_ptr<FakeRecord>> fakes;
    RecordList records;
    auto add = [&](int id, std::int64_t size, std::uint32_t crc, std::uint32_t sum,
                   std::uint64_t inode, bool unreadable) {
        fakes.push_back(std::make_unique<FakeRecord>(id, size, crc, sum, inode, unreadable));
        records.push_back(fakes.back()->Release());
    };
    // 100-byte class: three copies; 50-byte class: two copies and one unreadable twin of them.
    add(1, 100, 5, 6, 1, false);
    add(2, 100, 5, 6, 2, false);
    add(3, 100, 5, 6, 3, false);
    add(4, 50, 0, 0, 4, true);
    add(5, 50, 0, 0, 5, false);
    add(6, 50, 0, 0, 6, false);
    add(7, 10, 1, 1, 7, false);  // alone: never read
    FakeRecord* alone = fakes.back().get();
    int cancel = 0;
    CancellingSink sink(&cancel, -1);
    DuplicateSearch search(&sink);
    search.m_read = FakeRecord::Read;
    search.m_open = OpenFake;
    ResultsModel model;
    search.GroupDuplicates(records, model);
    const std::vector<Row> expected = {{"f1", 0, true}, {"f2", 1, false}, {"f3", 2, false},
                                       {"f5", 0, true}, {"f6", 2, false}};
    EXPECT_EQ(ModelRows(model), expected);
    EXPECT_EQ(model.DuplicateCount(), 3);
    EXPECT_EQ(model.DuplicateBytes(), 250);
    EXPECT_EQ(alone->m_reads, 0);
    EXPECT_EQ(sink.m_last, "发现 3 个重复的文件, 总共 250 字节");
    EXPECT_EQ(model.CellText(0, kColumnSize), "100");
    // The columns show the fingerprints of the bytes read, not those of the first look.
    const std::string bytes = FakeBytes((std::uint64_t{5} << 32) | 6, 100);
    char crc[16];
    std::snprintf(crc, sizeof crc, "%x", Crc32Update(0, bytes.data(), bytes.size()));
    EXPECT_EQ(model.CellText(0, kColumnCrc), crc);
    EXPECT_EQ(model.CellText(1, kColumnSize), "");
    // Records not listed stay with the caller's list; listed ones have moved.
    EXPECT_EQ(records[0], nullptr);
    ASSERT_NE(records[3], nullptr);
    EXPECT_EQ(records[3]->Path(), "f4");
}

TEST(DuplicateGrouping, ManyFilesOfOneSizeAreNotQuadratic) {
    // 200 000 distinct files of one size plus 100 000 copies: the pairwise loop would make
    // some 10^10 comparisons; this must finish in moments (not asserted, but a hang fails CI).
    std::vector<std::unique_ptr<FakeRecord>> fakes;
    RecordList records;
    for (int id = 0; id < 300000; ++id) {
        fakes.push_back(std::make_unique<FakeRecord>(id, 4096, static_cast<std::uint32_t>(id % 200000),
                                                     1, static_cast<std::uint64_t>(id + 1), false));
        records.push_back(fakes.back()->Release());
    }
    DuplicateSearch search(nullptr);
    search.m_read = FakeRecord::Read;
    search.m_open = OpenFake;
    ResultsModel model;
    search.GroupDuplicates(records, model);
    EXPECT_EQ(model.DuplicateCount(), 100000);
    EXPECT_EQ(model.RowCount(), 200000u);
    EXPECT_EQ(model.Row(0).record->Path(), "f0");
    EXPECT_EQ(model.Row(1).record->Path(), "f200000");

    // 100 000 copies of one file: one joint read of them all (in windows of open files), one
    // group, in order.
    fakes.clear();
    records.clear();
    for (int id = 0; id < 100000; ++id) {
        fakes.push_back(std::make_unique<FakeRecord>(id, 5000, 9, 9, static_cast<std::uint64_t>(id + 1), false));
        records.push_back(fakes.back()->Release());
    }
    ResultsModel copies;
    search.GroupDuplicates(records, copies);
    ASSERT_EQ(copies.RowCount(), 100000u);
    EXPECT_EQ(copies.DuplicateCount(), 99999);
    EXPECT_EQ(copies.Row(0).record->Path(), "f0");
    EXPECT_EQ(copies.Row(99999).record->Path(), "f99999");
}

TEST(SearchTexts, SplitSizeAndSummary) {
    std::vector<std::string> parts;
    SplitString("A;;B", parts, ";");
    EXPECT_EQ(parts, (std::vector<std::string>{"A", "", "B"}));
    SplitString("A;B;", parts, ";");
    EXPECT_EQ(parts, (std::vector<std::string>{"A", "B"}));
    SplitString("", parts, ";");
    EXPECT_TRUE(parts.empty());
    SplitString(";", parts, ";");
    EXPECT_EQ(parts, (std::vector<std::string>{""}));

    EXPECT_EQ(FormatSizeText(0), "0 字节");
    EXPECT_EQ(FormatSizeText(1023.9), "1023 字节");
    EXPECT_EQ(FormatSizeText(1024), "1 KB");
    EXPECT_EQ(FormatSizeText(1048575), "1024 KB");
    EXPECT_EQ(FormatSizeText(1048576), "1.00 MB");
    EXPECT_EQ(FormatSizeText(1073741824), "1024.00 MB");
    EXPECT_EQ(FormatSizeText(1073741825), "1.00 GB");

    EXPECT_EQ(SummaryText(0, 0), "");
    EXPECT_EQ(SummaryText(2, 2048), "发现 2 个重复文件 (2 KB)");
    EXPECT_EQ(SummaryText(2, 0), "发现 2 个重复文件 (0 字节)");
}

}  // namespace
