#include "engine/search/joint_reader.h"

#include <algorithm>
#include <cstring>
#include <deque>

#include "engine/search/checksum.h"
#include "engine/search/file_check.h"
#include "platform/error_text.h"
#include "platform/file_reader.h"

// Inlined: the hash is a few lines of code in the read loop, nothing more to link.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace {

class DiskBlockSource : public BlockSource {
public:
    DiskBlockSource(const CFileRecord& record, bool forget) : m_record(record), m_forget(forget) {}

    // 0 or the error code: the file cannot be opened, or it is not the scanned one.
    int Open() {
        if (!m_reader.Open(m_record.Path())) return platform::LastErrorCode();
        const int code = CheckScannedIdentity(m_record, m_reader.Identity());
        // What the first look read is in the cache in any case; beyond it, pages held already
        // were read by someone else (or by an earlier turn of this read), and stay.
        if (code == 0 && m_forget)
            m_forget = !m_reader.CachedFrom(static_cast<std::uint64_t>(kFirstBlockSize));
        return code;
    }

    long ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t want,
                int* error) override {
        if (offset != m_at) {
            if (!m_reader.Seek(offset)) {
                *error = platform::LastErrorCode();
                return -1;
            }
            m_at = offset;
        }
        std::size_t got = 0;
        while (got < want) {
            const long n = m_reader.Read(buffer + got, want - got);
            if (n < 0) {
                *error = platform::LastErrorCode();
                return -1;
            }
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        m_at += got;
        return static_cast<long>(got);
    }

    int CheckEnd(std::uint64_t end) override {
        if (end != m_at && !m_reader.Seek(end)) return platform::LastErrorCode();
        m_at = end;
        return CheckOpenFileEnd(m_record, m_reader);
    }

    void Done() override {
        if (m_forget) m_reader.ForgetCachedPages();
    }

    void SetTurn(platform::DiskTurn* turn) override { m_reader.SetTurn(turn); }

private:
    const CFileRecord& m_record;
    platform::FileReader m_reader;
    std::uint64_t m_at = 0;
    bool m_forget;
};

// The bytes a first look kept, checked then on the open file to its end.
class KeptSource : public BlockSource {
public:
    KeptSource(const unsigned char* bytes, std::uint64_t size) : m_bytes(bytes), m_size(size) {}

    long ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t want, int*) override {
        const std::uint64_t from = std::min(offset, m_size);
        const std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(want, m_size - from));
        std::memcpy(buffer, m_bytes + from, got);
        return static_cast<long>(got);
    }
    // What the first look read was checked to the file's end on the handle it was read from.
    int CheckEnd(std::uint64_t end) override { return end == m_size ? 0 : kErrorChanged; }

private:
    const unsigned char* m_bytes;
    std::uint64_t m_size;
};

// At most this much of the blocks of files set aside by a split is kept to be compared again
// without reading; past it such a block is read a second time.
constexpr std::size_t kHeldBudget = std::size_t{32} << 20;

}  // namespace

BlockOpener DiskBlockOpener(std::int64_t forgetAbove) {
    return [forgetAbove](const CFileRecord& record, int* error) -> std::unique_ptr<BlockSource> {
        auto source = std::make_unique<DiskBlockSource>(record, record.m_nSize > forgetAbove);
        *error = source->Open();
        if (*error != 0) return nullptr;
        return source;
    };
}

std::unique_ptr<BlockSource> KeptBlockSource(const CFileRecord& record,
                                             const unsigned char* bytes, int* error) {
    // Changed or replaced since its first look: its kept bytes are no longer its contents.
    platform::FileIdentity now;
    *error = platform::QueryNameIdentity(record.Path(), &now, error)
                 ? CheckScannedIdentity(record, now)
                 : *error;
    if (*error != 0) return nullptr;
    return std::make_unique<KeptSource>(bytes, static_cast<std::uint64_t>(record.m_nSize));
}

JointReader::JointReader(BlockOpener open, std::size_t maxOpen)
    : m_open(std::move(open)), m_maxOpen(std::max<std::size_t>(maxOpen, 2)) {}

namespace {

struct Member {
    CFileRecord* record = nullptr;  // the name it is read under
    const std::vector<CFileRecord*>* otherNames = nullptr;
    std::size_t nextName = 0;
    std::unique_ptr<BlockSource> source;  // null while closed
    std::vector<unsigned char> held;      // its block where its class stands, kept from a split
};

// Files whose bytes are equal up to `offset`; the CRC, sum and (when asked) hash of those bytes.
struct Pending {
    std::vector<std::uint32_t> members;
    std::uint64_t offset = 0;
    std::uint32_t crc = 0, sum = 0;
    XXH3_state_t hash;
};

}  // namespace

bool JointReader::Read(const std::vector<File>& files, const std::function<bool()>& stop,
                       std::atomic<std::uint64_t>* bytesRead,
                       std::vector<std::vector<CFileRecord*>>* groups,
                       std::vector<ContentHash>* hashes, std::vector<Lone>* lone) {
    groups->clear();
    if (hashes != nullptr) hashes->clear();
    if (lone != nullptr) lone->clear();
    // With the hashes kept, a file whose bytes part from all others is still read to its end.
    const std::size_t least = hashes != nullptr && lone != nullptr ? 1 : 2;
    if (files.size() < 2) return true;
    const std::uint64_t size = static_cast<std::uint64_t>(files[0].record->m_nSize);
    std::vector<Member> members(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        members[i].record = files[i].record;
        members[i].otherNames = &files[i].otherNames;
    }
    std::deque<std::uint32_t> openOrder;  // oldest first; may name files closed since
    std::size_t openCount = 0;
    std::size_t heldBytes = 0;

    const auto close = [&](std::uint32_t m) {
        if (!members[m].source) return;
        members[m].source.reset();
        --openCount;
    };
    // The file's group is decided: it is not read again.
    const auto finish = [&](std::uint32_t m) {
        Member& member = members[m];
        if (member.source) member.source->Done();
        close(m);
        heldBytes -= member.held.size();
        std::vector<unsigned char>().swap(member.held);
    };
    const auto fail = [&](std::uint32_t m, int code) {
        members[m].record->MarkUnreadable(code);
        finish(m);
    };
    // Opens m's file (again), under its next name when one cannot be opened: false when no
    // name is left. Beyond the window the file opened longest ago is closed.
    const auto open = [&](std::uint32_t m) {
        Member& member = members[m];
        if (member.source) return true;
        while (openCount >= m_maxOpen && !openOrder.empty()) {
            close(openOrder.front());
            openOrder.pop_front();
        }
        for (;;) {
            int error = 0;
            member.source = m_open(*member.record, &error);
            if (member.source) {
                ++openCount;
                openOrder.push_back(m);
                return true;
            }
            member.record->MarkUnreadable(error);
            if (member.nextName >= member.otherNames->size()) return false;
            member.record = (*member.otherNames)[member.nextName++];
        }
    };
    // Reads m's block at `offset`; false when the file failed (and is out of the read).
    const auto readBlock = [&](std::uint32_t m, std::uint64_t offset, std::size_t want,
                               unsigned char* into) {
        if (!open(m)) {
            finish(m);
            return false;
        }
        int error = 0;
        const long got = members[m].source->ReadAt(offset, into, want, &error);
        if (got < 0) {
            fail(m, error);
            return false;
        }
        if (bytesRead != nullptr)
            bytesRead->fetch_add(static_cast<std::uint64_t>(got), std::memory_order_relaxed);
        // Cut short since the scan.
        if (static_cast<std::size_t>(got) != want) {
            fail(m, kErrorChanged);
            return false;
        }
        return true;
    };

    std::vector<unsigned char> headBuffer(kChecksumBlockSize), buffer(kChecksumBlockSize);
    std::vector<Pending> work(1);
    for (std::uint32_t m = 0; m < members.size(); ++m) work[0].members.push_back(m);
    if (hashes != nullptr) XXH3_128bits_reset(&work[0].hash);
    while (!work.empty()) {
        Pending cls = std::move(work.back());
        work.pop_back();
        while (cls.members.size() >= least && cls.offset < size) {
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(kChecksumBlockSize, size - cls.offset));
            // The first file whose block can be read heads the class; the files whose block
            // equals its block stay with it, the others go on as a class of their own.
            std::vector<std::uint32_t> same, other;
            const unsigned char* head = nullptr;
            for (const std::uint32_t m : cls.members) {
                const unsigned char* data = members[m].held.empty() ? nullptr : members[m].held.data();
                if (data == nullptr) {
                    unsigned char* into = head == nullptr ? headBuffer.data() : buffer.data();
                    const bool read = readBlock(m, cls.offset, want, into);
                    if (stop && stop()) return false;
                    if (!read) continue;
                    data = into;
                }
                if (head == nullptr) {
                    head = data;
                    same.push_back(m);
                } else if (std::memcmp(head, data, want) == 0) {
                    same.push_back(m);
                } else {
                    other.push_back(m);
                    Member& member = members[m];
                    if (member.held.empty() && heldBytes + want <= kHeldBudget) {
                        member.held.assign(data, data + want);
                        heldBytes += want;
                    }
                }
            }
            if (head == nullptr) break;
            Pending rest;
            rest.offset = cls.offset;
            rest.crc = cls.crc;
            rest.sum = cls.sum;
            cls.crc = Crc32Update(cls.crc, head, want);
            cls.sum = ByteSumUpdate(cls.sum, head, want);
            if (hashes != nullptr) {
                if (other.size() >= least) XXH3_copyState(&rest.hash, &cls.hash);
                XXH3_128bits_update(&cls.hash, head, want);
            }
            cls.offset += want;
            for (const std::uint32_t m : same) {
                heldBytes -= members[m].held.size();
                std::vector<unsigned char>().swap(members[m].held);
            }
            cls.members = std::move(same);
            if (other.size() >= least) {
                rest.members = std::move(other);
                work.push_back(std::move(rest));
            } else {
                for (const std::uint32_t m : other) finish(m);
            }
        }
        if (cls.members.size() >= least && cls.offset >= size) {
            // Read to the scanned size: each file must still be the scanned one, with nothing
            // more in it.
            std::vector<CFileRecord*> group;
            for (const std::uint32_t m : cls.members) {
                if (!open(m)) {
                    finish(m);
                    continue;
                }
                const int code = members[m].source->CheckEnd(size);
                if (code != 0) {
                    fail(m, code);
                    continue;
                }
                group.push_back(members[m].record);
            }
            if (group.size() >= 2) {
                for (CFileRecord* record : group) record->SetDetails(cls.crc, cls.sum, false, 0);
                groups->push_back(std::move(group));
                if (hashes != nullptr) {
                    const XXH128_hash_t digest = XXH3_128bits_digest(&cls.hash);
                    hashes->push_back({digest.high64, digest.low64});
                }
            } else if (group.size() == 1 && least == 1) {
                const XXH128_hash_t digest = XXH3_128bits_digest(&cls.hash);
                lone->push_back({group.front(), cls.crc, cls.sum, {digest.high64, digest.low64}});
            }
        }
        for (const std::uint32_t m : cls.members) finish(m);
    }
    return true;
}
