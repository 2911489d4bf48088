#include "engine/store/catalog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "engine/search/checksum.h"
#include "engine/store/json_reader.h"
#include "engine/store/json_text.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "platform/error_text.h"
#include "platform/file_find.h"
#include "platform/file_reader.h"
#include "platform/file_stamp.h"
#include "platform/path_forms.h"

namespace {

constexpr const char* kFormatName = "pairscout-catalog";
// A file changed less than this before it was read is not taught to the cache: a change in the
// same tick of the clock after the read would leave every field of its stamp as it was.
constexpr std::int64_t kSettleNs = 2000000000;

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Reads the whole file of `record` through one handle and computes its facts; `firstKey`
// gets the first block's CRC-32 and sum as the search's first look computes them. 0, or the
// error code (CFileRecord::ErrorCodeText tells it).
int ReadWhole(const CFileRecord& record, WholeFacts* facts, std::uint64_t* firstKey,
              std::vector<unsigned char>& buffer, const std::atomic<bool>& stop) {
    platform::FileReader reader;
    if (!reader.Open(record.Path())) return platform::LastErrorCode();
    int code = record.CheckIdentity(reader.Identity());
    if (code != 0) return code;
    XXH3_state_t state;
    XXH3_128bits_reset(&state);
    std::uint32_t crc = 0, sum = 0, firstCrc = 0, firstSum = 0;
    std::uint64_t done = 0;
    const std::uint64_t size = static_cast<std::uint64_t>(record.m_nSize);
    for (;;) {
        if (stop.load(std::memory_order_relaxed)) return -1;
        const long got = reader.Read(buffer.data(), buffer.size());
        if (got < 0) return platform::LastErrorCode();
        if (got == 0) break;
        const std::size_t n = static_cast<std::size_t>(got);
        if (done + n > size) return kErrorChanged;  // it grew while it was read
        if (done < static_cast<std::uint64_t>(kFirstBlockSize)) {
            const std::size_t head =
                std::min<std::size_t>(n, static_cast<std::size_t>(kFirstBlockSize - done));
            firstCrc = Crc32Update(firstCrc, buffer.data(), head);
            firstSum = ByteSumUpdate(firstSum, buffer.data(), head);
        }
        XXH3_128bits_update(&state, buffer.data(), n);
        crc = Crc32Update(crc, buffer.data(), n);
        sum = ByteSumUpdate(sum, buffer.data(), n);
        done += n;
    }
    if (done != size) return kErrorChanged;
    platform::FileIdentity now;
    if (!reader.Current(&now)) return platform::LastErrorCode();
    code = record.CheckIdentity(now);
    if (code != 0) return code;
    facts->device = now.device;
    facts->inode = now.inode;
    const XXH128_hash_t digest = XXH3_128bits_digest(&state);
    facts->hashHigh = digest.high64;
    facts->hashLow = digest.low64;
    facts->crc = crc;
    facts->sum = sum;
    *firstKey = (static_cast<std::uint64_t>(firstCrc) << 32) | firstSum;
    return 0;
}

// The whole facts of each of `records`, read on every core; the cache answers for the files it
// read whole before and learns the rest. `codes` gets per record 0 or why it was not read.
// False when stopped.
bool HashAll(const std::vector<CFileRecord*>& records, ProgressSink* progress,
             FingerprintCache* cache, std::vector<WholeFacts>* facts, std::vector<int>* codes) {
    facts->assign(records.size(), WholeFacts());
    codes->assign(records.size(), 0);
    std::int64_t total = 0;
    for (const CFileRecord* record : records) total += record->m_nSize;
    if (progress != nullptr) {
        progress->SetStatus(LoadStringText(IDS_SEARCHING_DUPLICATES));
        progress->SetTotal(total);
    }
    // What the cache knows is asked first, on this thread: the cache is one connection.
    std::vector<char> known(records.size(), 0);
    std::vector<platform::FileStamp> stamps(records.size());
    std::vector<std::string> systems(records.size());
    platform::FileSystemNames names;
    if (cache != nullptr && cache->IsOpen()) {
        for (std::size_t k = 0; k < records.size(); ++k) {
            const CFileRecord& record = *records[k];
            int error = 0;
            platform::FileStamp& stamp = stamps[k];
            if (!platform::QueryFileStamp(record.Path(), &stamp, &error)) continue;
            // Only the file the walk found: the same one, as it was.
            if ((record.HasIdentity() &&
                 (stamp.device != record.m_nDevice || stamp.inode != record.m_nInode)) ||
                static_cast<std::int64_t>(stamp.size) != record.m_nSize)
                continue;
            systems[k] = names.Of(stamp.device, record.Path());
            CachedFacts cached;
            if (cache->Lookup(systems[k], stamp, &cached) && cached.whole) {
                (*facts)[k] = {cached.hashHigh, cached.hashLow, cached.crc, cached.sum,
                               stamp.device, stamp.inode};
                known[k] = 1;
            }
        }
    }
    std::vector<std::uint64_t> firstKeys(records.size(), 0);
    std::atomic<std::size_t> next{0};
    std::atomic<std::int64_t> bytesDone{0};
    std::atomic<std::size_t> finished{0};
    std::atomic<bool> stop{false};
    const unsigned cores = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < cores; ++t) {
        workers.emplace_back([&] {
            std::vector<unsigned char> buffer(1 << 20);
            for (;;) {
                const std::size_t k = next.fetch_add(1);
                if (k >= records.size() || stop.load()) break;
                if (!known[k]) (*codes)[k] = ReadWhole(*records[k], &(*facts)[k], &firstKeys[k], buffer, stop);
                bytesDone.fetch_add(records[k]->m_nSize);
                finished.fetch_add(1);
            }
        });
    }
    // The progress and the stop are this thread's: the sink is not shared.
    std::int64_t shown = 0;
    for (;;) {
        const bool all = finished.load() >= records.size();
        if (progress != nullptr) {
            const std::int64_t now = bytesDone.load();
            progress->StepProgress(now - shown);
            shown = now;
            if (progress->Cancelled()) stop.store(true);
        }
        if (all || stop.load()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    for (std::thread& worker : workers) worker.join();
    if (stop.load()) return false;
    if (cache != nullptr && cache->IsOpen()) {
        const std::int64_t now = NowNs();
        for (std::size_t k = 0; k < records.size(); ++k) {
            if (known[k] || (*codes)[k] != 0 || systems[k].empty()) continue;
            const platform::FileStamp& stamp = stamps[k];
            if (now - std::max(stamp.writtenNs, stamp.changedNs) < kSettleNs) continue;
            CachedFacts learnt;
            learnt.firstKey = firstKeys[k];
            learnt.whole = true;
            learnt.crc = (*facts)[k].crc;
            learnt.sum = (*facts)[k].sum;
            learnt.hashHigh = (*facts)[k].hashHigh;
            learnt.hashLow = (*facts)[k].hashLow;
            cache->Learn(systems[k], stamp, learnt);
        }
    }
    return true;
}

std::string HashText(std::uint64_t high, std::uint64_t low) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%016" PRIx64 "%016" PRIx64, high, low);
    return buf;
}

bool ReadHash(const std::string& text, std::uint64_t* high, std::uint64_t* low) {
    if (text.size() != 32) return false;
    std::uint64_t parts[2] = {0, 0};
    for (std::size_t k = 0; k < 32; ++k) {
        const char c = text[k];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) return false;
        parts[k / 16] = (parts[k / 16] << 4) | static_cast<std::uint64_t>(digit);
    }
    *high = parts[0];
    *low = parts[1];
    return true;
}

// The files the walk found (folders left out), in the order found.
std::vector<CFileRecord*> FilesOf(const RecordList& records) {
    std::vector<CFileRecord*> files;
    for (const auto& record : records)
        if ((record->m_dwAttributes & platform::kAttrDirectory) == 0) files.push_back(record.get());
    return files;
}

void NameSkipped(const std::vector<CFileRecord*>& files, const std::vector<int>& codes,
                 ProgressSink* progress) {
    if (progress == nullptr) return;
    for (std::size_t k = 0; k < files.size(); ++k)
        if (codes[k] != 0)
            progress->Skipped(SkipKind::kFile, files[k]->Path(), CFileRecord::ErrorCodeText(codes[k]));
}

}  // namespace

bool MakeCatalog(const SearchOptions& options, ProgressSink* progress, FingerprintCache* cache,
                 Catalog* out) {
    out->files.clear();
    out->paths = options.paths;
    DuplicateSearch search(progress);
    RecordList records;
    if (!search.CollectFiles(records, options.paths, options.mask, &options.filter)) return false;
    std::vector<CFileRecord*> files = FilesOf(records);
    // Folder by folder, so that a folder's path is written once.
    std::stable_sort(files.begin(), files.end(), [](const CFileRecord* a, const CFileRecord* b) {
        const int folder = a->Folder().compare(b->Folder());
        return folder != 0 ? folder < 0 : a->Name() < b->Name();
    });
    std::vector<WholeFacts> facts;
    std::vector<int> codes;
    if (!HashAll(files, progress, cache, &facts, &codes)) return false;
    NameSkipped(files, codes, progress);
    out->files.reserve(files.size());
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (codes[k] != 0) continue;
        out->files.push_back({files[k]->Path(), files[k]->m_nSize, files[k]->m_ftWrittenUtc,
                              facts[k].hashHigh, facts[k].hashLow});
    }
    return true;
}

std::string FormatCatalogDocument(const Catalog& catalog) {
    std::string out = "{\"format\": \"";
    out += kFormatName;
    char buf[96];
    std::snprintf(buf, sizeof buf, "\", \"version\": %d, \"made\": %" PRId64 ", \"name\": \"",
                  kCatalogFormatVersion, catalog.made);
    out += buf;
    out += JsonString(catalog.name) + "\", \"paths\": [";
    for (std::size_t k = 0; k < catalog.paths.size(); ++k)
        out += (k > 0 ? ", \"" : "\"") + JsonString(catalog.paths[k]) + '"';
    out += "],\n \"folders\": [";
    std::string folder;
    bool open = false;
    for (const CatalogFile& file : catalog.files) {
        const std::size_t cut = platform::NameStart(file.path);
        const std::string here = file.path.substr(0, cut);
        const std::string name = file.path.substr(cut);
        if (!open || here != folder) {
            out += open ? "]},\n  {\"path\": \"" : "\n  {\"path\": \"";
            out += JsonString(here) + "\", \"files\": [";
            folder = here;
            open = true;
        } else {
            out += ", ";
        }
        std::snprintf(buf, sizeof buf, "[\"%s\", %" PRId64 ", %" PRId64 ", \"",
                      HashText(file.hashHigh, file.hashLow).c_str(), file.size, file.written);
        out += buf;
        out += JsonString(name) + "\"]";
    }
    if (open) out += "]}";
    out += "]}\n";
    return out;
}

bool ReadCatalogDocument(const std::string& text, Catalog* out, std::string* error) {
    *out = Catalog();
    JsonReader json(text, 8);
    bool ours = false, versioned = false, sawFolders = false;
    std::string newer;
    const auto fail = [&]() {
        if (!newer.empty()) *error = newer;
        else if (!ours) *error = LoadStringText(IDS_CATALOG_NOT_OURS);
        else *error = FormatResultsDamaged(json.Error());
        *out = Catalog();
        return false;
    };
    if (json.Peek() != JsonType::kObject || !json.BeginObject()) return fail();
    std::string key;
    while (json.NextMember(&key)) {
        if (key == "format") {
            std::string name;
            if (!json.ReadString(&name, 64) || name != kFormatName) return fail();
            ours = true;
        } else if (key == "version") {
            std::int64_t version = 0;
            if (!json.ReadInt64(&version)) return fail();
            if (version < 1) {
                json.Fail("version " + std::to_string(version));
                return fail();
            }
            if (version > kCatalogFormatVersion) {
                newer = FormatResultsNewer(static_cast<int>(std::min<std::int64_t>(version, 999999)),
                                           kCatalogFormatVersion);
                return fail();
            }
            versioned = true;
        } else if (!ours || !versioned) {
            return fail();
        } else if (key == "made") {
            if (!json.ReadInt64(&out->made)) return fail();
        } else if (key == "name") {
            if (!json.ReadString(&out->name, 4096)) return fail();
        } else if (key == "paths") {
            if (!json.BeginArray()) return fail();
            while (json.NextElement()) {
                std::string path;
                if (!json.ReadString(&path, 1 << 16) || out->paths.size() >= 100000) {
                    if (!json.Failed()) json.Fail("too many paths");
                    return fail();
                }
                out->paths.push_back(std::move(path));
            }
            if (json.Failed()) return fail();
        } else if (key == "folders") {
            sawFolders = true;
            if (!json.BeginArray()) return fail();
            while (json.NextElement()) {
                if (!json.BeginObject()) return fail();
                std::string folder, member;
                bool sawFiles = false;
                while (json.NextMember(&member)) {
                    if (member == "path") {
                        if (!json.ReadString(&folder, 1 << 16)) return fail();
                        if (folder.find('\0') != std::string::npos) {
                            json.Fail("a path holding a NUL");
                            return fail();
                        }
                    } else if (member == "files") {
                        if (!sawFiles && folder.empty() && !json.Failed()) {
                            // The folder's path comes first: its files are named under it.
                            json.Fail("files before their folder's path");
                            return fail();
                        }
                        sawFiles = true;
                        if (!json.BeginArray()) return fail();
                        while (json.NextElement()) {
                            CatalogFile file;
                            std::string hash, name;
                            if (!json.BeginArray() || !json.NextElement() ||
                                !json.ReadString(&hash, 64) || !json.NextElement() ||
                                !json.ReadInt64(&file.size) || !json.NextElement() ||
                                !json.ReadInt64(&file.written) || !json.NextElement() ||
                                !json.ReadString(&name, 1 << 16))
                                return fail();
                            if (json.NextElement()) {
                                json.Fail("a file of more than four fields");
                                return fail();
                            }
                            if (json.Failed()) return fail();
                            if (!ReadHash(hash, &file.hashHigh, &file.hashLow) || file.size < 0 ||
                                name.empty() || name.find('\0') != std::string::npos ||
                                name.find_first_of(platform::kPathSeparator == '/' ? "/" : "\\/") !=
                                    std::string::npos) {
                                json.Fail("a file whose hash, size or name is not one");
                                return fail();
                            }
                            file.path = folder + name;
                            out->files.push_back(std::move(file));
                        }
                        if (json.Failed()) return fail();
                    } else if (!json.Skip()) {
                        return fail();
                    }
                }
                if (json.Failed()) return fail();
            }
            if (json.Failed()) return fail();
        } else if (!json.Skip()) {
            return fail();
        }
    }
    if (json.Failed() || !json.Finish() || !ours || !versioned) return fail();
    if (!sawFolders) {
        json.Fail("no \"folders\"");
        return fail();
    }
    return true;
}

namespace {

// The bytes a file holds, as far as a catalog tells: its size and XXH3-128.
struct BytesKey {
    std::int64_t size;
    std::uint64_t high, low;
    bool operator==(const BytesKey& o) const {
        return size == o.size && high == o.high && low == o.low;
    }
};

struct BytesKeyHash {
    std::size_t operator()(const BytesKey& key) const {
        return static_cast<std::size_t>(key.low ^ (key.high * 0x9E3779B97F4A7C15ULL) ^
                                        static_cast<std::uint64_t>(key.size));
    }
};

}  // namespace

bool CompareWithCatalog(const Catalog& catalog, const SearchOptions& options,
                        ProgressSink* progress, FingerprintCache* cache, ResultsModel* out) {
    out->Clear();
    out->SetCatalogName(catalog.name);
    // The catalog's entries by their bytes, and the sizes among them: only files of those sizes
    // are read here. Empty files hold no bytes to find elsewhere.
    std::unordered_map<BytesKey, std::vector<std::size_t>, BytesKeyHash> entriesOf;
    std::unordered_set<std::int64_t> sizes;
    entriesOf.reserve(catalog.files.size());
    for (std::size_t k = 0; k < catalog.files.size(); ++k) {
        const CatalogFile& file = catalog.files[k];
        if (file.size <= 0) continue;
        entriesOf[{file.size, file.hashHigh, file.hashLow}].push_back(k);
        sizes.insert(file.size);
    }
    DuplicateSearch search(progress);
    RecordList records;
    if (!search.CollectFiles(records, options.paths, options.mask, &options.filter)) return false;
    // Largest first, as the search lists its groups; equal sizes in the order found.
    std::vector<CFileRecord*> files;
    std::vector<std::size_t> from;  // per file: its place in `records`
    for (std::size_t k = 0; k < records.size(); ++k) {
        CFileRecord* file = records[k].get();
        if ((file->m_dwAttributes & platform::kAttrDirectory) != 0 || sizes.count(file->m_nSize) == 0)
            continue;
        files.push_back(file);
        from.push_back(k);
    }
    std::vector<WholeFacts> facts;
    std::vector<int> codes;
    if (!HashAll(files, progress, cache, &facts, &codes)) return false;
    NameSkipped(files, codes, progress);
    // Groups by bytes, in the order of their first file here.
    std::unordered_map<BytesKey, std::size_t, BytesKeyHash> groupOf;
    std::vector<std::vector<std::size_t>> here;  // per group: indexes into `files`
    std::vector<const std::vector<std::size_t>*> entries;  // per group: the catalog's
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (codes[k] != 0) continue;
        const BytesKey key{files[k]->m_nSize, facts[k].hashHigh, facts[k].hashLow};
        auto at = groupOf.find(key);
        if (at == groupOf.end()) {
            const auto held = entriesOf.find(key);
            if (held == entriesOf.end()) continue;
            at = groupOf.emplace(key, here.size()).first;
            here.emplace_back();
            entries.push_back(&held->second);
        }
        here[at->second].push_back(k);
    }
    std::unordered_map<std::string, FolderRef> folders;
    for (std::size_t g = 0; g < here.size(); ++g) {
        const WholeFacts& first = facts[here[g].front()];
        std::vector<std::unique_ptr<CFileRecord>> rows;
        rows.reserve(entries[g]->size() + here[g].size());
        for (std::size_t entry : *entries[g]) {
            const CatalogFile& file = catalog.files[entry];
            platform::FindData data;
            data.nFileSize = static_cast<std::uint64_t>(file.size);
            data.ftLastWriteTime = file.written;
            const std::size_t cut = platform::NameStart(file.path);
            const std::string folder = file.path.substr(0, cut);
            data.cFileName = file.path.substr(cut);
            auto ref = folders.find(folder);
            if (ref == folders.end())
                ref = folders.emplace(folder, FolderRef(std::make_unique<FolderNames>(folder))).first;
            rows.push_back(std::make_unique<CFileRecord>(data, ref->second));
        }
        for (std::size_t k : here[g]) {
            // The walk's own record, given the identity of the file read where the walk found
            // none (Windows).
            if (!files[k]->HasIdentity()) {
                files[k]->m_nDevice = facts[k].device;
                files[k]->m_nInode = facts[k].inode;
            }
            rows.push_back(std::move(records[from[k]]));
        }
        for (auto& row : rows) row->SetDetails(first.crc, first.sum, false, 0);
        out->AppendGroup(std::move(rows));
        out->SetGroupStanding(out->GroupCount() - 1,
                              std::vector<RowStanding>(entries[g]->size(), kStandsInCatalog));
    }
    return true;
}
