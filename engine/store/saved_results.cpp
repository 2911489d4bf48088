#include "engine/store/saved_results.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>

#include "engine/results/keep_rule_names.h"
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

constexpr const char* kFormatName = "pairscout-results";
constexpr KeepReason kLastReason = kKeptTied;

}  // namespace

const char* StandingWord(RowStanding standing) {
    switch (standing) {
        case kStandsChanged: return "changed";
        case kStandsMissing: return "missing";
        case kStandsReplaced: return "replaced";
        case kStandsInCatalog: return "catalog";
        case kStandsHere: break;
    }
    return "here";
}

namespace {

platform::FileTime FileTimeOfNs(std::int64_t ns) {
    return platform::FileTimeFromUnix(ns / 1000000000, ns % 1000000000);
}


void AppendStrings(const std::vector<std::string>& list, std::string* out) {
    *out += '[';
    for (std::size_t k = 0; k < list.size(); ++k) {
        if (k > 0) *out += ", ";
        *out += '"' + JsonString(list[k]) + '"';
    }
    *out += ']';
}

}  // namespace

std::string FormatResultsDocument(const ResultsModel& results, const SavedSearch* search) {
    char buf[96];
    std::string out = "{\"format\": \"";
    out += kFormatName;
    std::snprintf(buf, sizeof buf, "\", \"version\": %d, \"searched\": \"", kResultsFormatVersion);
    out += buf;
    out += IsoTimeText(results.SearchTime());
    std::snprintf(buf, sizeof buf, "\", \"search_time\": %" PRId64, results.SearchTime());
    out += buf;
    if (search != nullptr) {
        out += ",\n \"search\": {\"paths\": ";
        AppendStrings(search->paths, &out);
        out += ", \"mask\": \"" + JsonString(search->mask) + "\", \"protect\": ";
        AppendStrings(search->protect, &out);
        out += '}';
    }
    if (!results.CatalogName().empty())
        out += ",\n \"catalog\": \"" + JsonString(results.CatalogName()) + '"';
    out += ",\n \"groups\": [";
    platform::FileSystemNames names;
    for (std::size_t row = 0; row < results.RowCount(); ++row) {
        const ResultRow& r = results.Row(row);
        const CFileRecord& record = *r.record;
        const bool first = results.IsGroupFirst(row);
        if (first) {
            if (row > 0) out += "]},";
            // A group's fingerprints are those of its files; the first row may have lost its
            // cells to a delete, the record keeps them.
            std::snprintf(buf, sizeof buf,
                          "\n  {\"size\": %" PRId64 ", \"crc\": \"%08" PRIx32
                          "\", \"checksum\": \"%08" PRIx32 "\", \"files\": [",
                          record.m_nSize, record.m_dwCrc, record.m_dwChecksum);
            out += buf;
        } else {
            out += ",";
        }
        const std::string path = record.Path();
        out += "\n    {\"path\": \"" + JsonString(path) + "\", \"time\": \"" +
               IsoTimeText(record.m_ftWritten) + "\", \"keep\": ";
        out += first ? "true, \"rule\": \"" + std::string(KeepReasonWord(r.keptBy)) + "\""
                     : std::string("false");
        out += ", \"protected\": ";
        out += r.isProtected ? "true" : "false";
        std::snprintf(buf, sizeof buf, ", \"size\": %" PRId64 ", \"written\": %" PRId64,
                      record.m_nSize, record.m_ftWrittenUtc);
        out += buf;
        if (!r.StandsHere()) {
            out += ", \"standing\": \"";
            out += StandingWord(r.standing);
            out += '"';
        } else {
            platform::FileStamp stamp;
            int error = 0;
            if (record.HasIdentity() && platform::QueryFileStamp(path, &stamp, &error) &&
                stamp.device == record.m_nDevice && stamp.inode == record.m_nInode &&
                static_cast<std::int64_t>(stamp.size) == record.m_nSize &&
                FileTimeOfNs(stamp.writtenNs) == record.m_ftWrittenUtc) {
                std::snprintf(buf, sizeof buf, ", \"inode\": %" PRIu64 ", \"changed_ns\": %" PRId64,
                              stamp.inode, stamp.changedNs);
                out += buf;
                out += ", \"fs\": \"" + JsonString(names.Of(stamp.device, path)) + '"';
            }
        }
        out += '}';
    }
    if (results.RowCount() > 0) out += "]}\n";
    out += "]}\n";
    return out;
}

namespace {

// One file of the document as read, before the disk is asked.
struct SavedFile {
    std::string path;
    bool keep = false, isProtected = false;
    KeepReason rule = kKeptAsFound;
    std::int64_t size = -1;
    platform::FileTime written = 0;
    bool hasWritten = false;
    std::uint64_t inode = 0;
    std::int64_t changedNs = 0;
    bool hasStamp = false;  // inode, change time and file system
    std::string fs;
    RowStanding standing = kStandsHere;
};

class DocumentReader {
public:
    DocumentReader(const std::string& text, ResultsModel& results, SavedSearch& search,
                   ReopenCounts& counts, const ReopenParts& parts)
        : m_text(text), m_json(text, 16), m_results(results), m_search(search), m_counts(counts),
          m_parts(parts) {}

    bool Read(std::string* error) {
        const bool read = Document();
        if (read) return true;
        if (m_stopped) {
            error->clear();
        } else if (!m_version.empty()) {
            *error = m_version;
        } else if (!m_ours) {
            *error = LoadStringText(IDS_RESULTS_NOT_OURS);
        } else {
            *error = FormatResultsDamaged(m_json.Error());
        }
        return false;
    }

private:
    bool Document() {
        if (m_json.Peek() != JsonType::kObject) return false;
        if (!m_json.BeginObject()) return false;
        std::string key;
        bool sawGroups = false;
        while (m_json.NextMember(&key)) {
            if (key == "format") {
                std::string name;
                if (!m_json.ReadString(&name, 64)) return false;
                if (name != kFormatName) return false;
                m_ours = true;
            } else if (key == "version") {
                std::int64_t version = 0;
                if (!m_json.ReadInt64(&version)) return false;
                if (version < 1) return m_json.Fail("version " + std::to_string(version));
                if (version > kResultsFormatVersion) {
                    m_version = FormatResultsNewer(static_cast<int>(std::min<std::int64_t>(version, 999999)),
                                                   kResultsFormatVersion);
                    return false;
                }
                m_sawVersion = true;
            } else if (!m_ours || !m_sawVersion) {
                // The format and its version come first: nothing else is read before them.
                return false;
            } else if (key == "search_time") {
                std::int64_t time = 0;
                if (!m_json.ReadInt64(&time)) return false;
                m_search.searchTime = time;
            } else if (key == "search") {
                if (!Search()) return false;
            } else if (key == "catalog") {
                if (!m_json.ReadString(&m_search.catalog, 4096)) return false;
            } else if (key == "groups") {
                if (!Groups()) return false;
                sawGroups = true;
            } else if (!m_json.Skip()) {
                return false;
            }
        }
        if (m_json.Failed() || !m_json.Finish()) return false;
        if (!m_ours || !m_sawVersion) return false;
        if (!sawGroups) return m_json.Fail("no \"groups\"");
        m_results.SetSearchTime(m_search.searchTime);
        m_results.SetCatalogName(m_search.catalog);
        return true;
    }

    bool Strings(std::vector<std::string>* list) {
        if (!m_json.BeginArray()) return false;
        while (m_json.NextElement()) {
            std::string value;
            if (!m_json.ReadString(&value, 1 << 16)) return false;
            if (list->size() >= 100000) return m_json.Fail("too many paths");
            list->push_back(std::move(value));
        }
        return !m_json.Failed();
    }

    bool Search() {
        if (!m_json.BeginObject()) return false;
        std::string key;
        while (m_json.NextMember(&key)) {
            bool read = true;
            if (key == "paths") read = Strings(&m_search.paths);
            else if (key == "protect") read = Strings(&m_search.protect);
            else if (key == "mask") read = m_json.ReadString(&m_search.mask, 1 << 16);
            else read = m_json.Skip();
            if (!read) return false;
        }
        return !m_json.Failed();
    }

    bool Groups() {
        if (!m_json.BeginArray()) return false;
        while (m_json.NextElement()) {
            if (!Group()) return false;
            if (m_parts.progress && ++m_sinceProgress >= 256) {
                m_sinceProgress = 0;
                if (!m_parts.progress(static_cast<double>(m_json.Offset()) /
                                      static_cast<double>(m_text.size()))) {
                    m_stopped = true;
                    return false;
                }
            }
        }
        return !m_json.Failed();
    }

    bool Group() {
        if (!m_json.BeginObject()) return false;
        std::string key;
        std::int64_t size = -1;
        std::uint32_t crc = 0, sum = 0;
        bool sawCrc = false, sawSum = false;
        std::vector<SavedFile> files;
        while (m_json.NextMember(&key)) {
            bool read = true;
            if (key == "size") {
                read = m_json.ReadInt64(&size);
                if (read && size < 0) return m_json.Fail("a negative size");
            } else if (key == "crc") {
                read = Hex(&crc);
                sawCrc = true;
            } else if (key == "checksum") {
                read = Hex(&sum);
                sawSum = true;
            } else if (key == "files") {
                read = Files(&files);
            } else {
                read = m_json.Skip();
            }
            if (!read) return false;
        }
        if (m_json.Failed()) return false;
        if (size < 0 || !sawCrc || !sawSum) return m_json.Fail("a group without its size or fingerprints");
        if (files.size() < 2) return m_json.Fail("a group of fewer than two files");
        for (const SavedFile& file : files)
            if (file.size != size) return m_json.Fail("a file whose size is not its group's");
        if (!files.front().keep) return m_json.Fail("a group whose first file is not kept");
        std::vector<std::unique_ptr<CFileRecord>> records;
        std::vector<RowStanding> standing;
        records.reserve(files.size());
        for (const SavedFile& file : files) {
            standing.push_back(file.standing);
            records.push_back(Record(file, &standing.back()));
            records.back()->SetDetails(crc, sum, false, 0);
        }
        const std::size_t first = m_results.RowCount();
        m_results.AppendGroup(std::move(records));
        for (std::size_t k = 0; k < files.size(); ++k)
            m_results.SetProtected(first + k, files[k].isProtected);
        m_results.SetGroupStanding(m_results.GroupCount() - 1, standing);
        m_results.SetKeptBy(first, files.front().rule);
        return true;
    }

    bool Hex(std::uint32_t* value) {
        std::string text;
        if (!m_json.ReadString(&text, 16)) return false;
        if (text.empty() || text.size() > 8) return m_json.Fail("a fingerprint that is not 8 hex digits");
        std::uint32_t v = 0;
        for (char c : text) {
            int digit = -1;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            if (digit < 0) return m_json.Fail("a fingerprint that is not 8 hex digits");
            v = (v << 4) | static_cast<std::uint32_t>(digit);
        }
        *value = v;
        return true;
    }

    bool Files(std::vector<SavedFile>* files) {
        if (!m_json.BeginArray()) return false;
        while (m_json.NextElement()) {
            SavedFile file;
            if (!File(&file)) return false;
            files->push_back(std::move(file));
        }
        return !m_json.Failed();
    }

    bool File(SavedFile* file) {
        if (!m_json.BeginObject()) return false;
        std::string key, rule, standing;
        bool sawKeep = false;
        while (m_json.NextMember(&key)) {
            bool read = true;
            if (key == "path") read = m_json.ReadString(&file->path, 1 << 16);
            else if (key == "keep") {
                read = m_json.ReadBool(&file->keep);
                sawKeep = true;
            }
            else if (key == "protected") read = m_json.ReadBool(&file->isProtected);
            else if (key == "rule") read = m_json.ReadString(&rule, 64);
            else if (key == "size") read = m_json.ReadInt64(&file->size);
            else if (key == "written") {
                read = m_json.ReadInt64(&file->written);
                file->hasWritten = true;
            }
            else if (key == "inode") read = m_json.ReadUint64(&file->inode);
            else if (key == "changed_ns") read = m_json.ReadInt64(&file->changedNs);
            else if (key == "fs") read = m_json.ReadString(&file->fs, 4096);
            else if (key == "standing") read = m_json.ReadString(&standing, 64);
            else read = m_json.Skip();
            if (!read) return false;
        }
        if (m_json.Failed()) return false;
        // A name that no file system can hold: a NUL ends every path the system is given.
        if (file->path.empty() || file->path.find('\0') != std::string::npos)
            return m_json.Fail("a file without a path, or a path holding a NUL");
        if (file->path.size() > 65535) return m_json.Fail("a path too long");
        if (file->size < 0 || !file->hasWritten || !sawKeep)
            return m_json.Fail("a file without its size, time or place in its group");
        file->hasStamp = !file->fs.empty();
        for (int k = 0; k <= kLastReason; ++k)
            if (rule == KeepReasonWord(static_cast<KeepReason>(k))) file->rule = static_cast<KeepReason>(k);
        if (standing == "changed") file->standing = kStandsChanged;
        else if (standing == "missing") file->standing = kStandsMissing;
        else if (standing == "replaced") file->standing = kStandsReplaced;
        else if (standing == "catalog") file->standing = kStandsInCatalog;
        else if (!standing.empty() && standing != "here") return m_json.Fail("standing \"" + standing + "\"");
        return true;
    }

    // The record of `file` as it stands on the disk now, and where it stands.
    std::unique_ptr<CFileRecord> Record(const SavedFile& file, RowStanding* standing) {
        ++m_counts.files;
        platform::FindData data;
        data.nFileSize = static_cast<std::uint64_t>(file.size);
        data.ftLastWriteTime = file.written;
        const std::size_t cut = platform::NameStart(file.path);
        std::string folder = file.path.substr(0, cut), name = file.path.substr(cut);
        if (name.empty()) {
            // A path that ends in a separator: held whole as the name.
            name = file.path;
            folder.clear();
        }
        if (*standing == kStandsHere && m_parts.checkDisk) {
            platform::FileStamp stamp;
            int error = 0;
            if (!platform::QueryFileStamp(file.path, &stamp, &error)) {
                *standing = error == ENOENT || error == ENOTDIR ? kStandsMissing
                            : error == EINVAL                  ? kStandsReplaced
                                                               : kStandsChanged;
            } else {
                const bool sameSystem =
                    file.hasStamp && m_names.Of(stamp.device, file.path) == file.fs;
                if (sameSystem && stamp.inode != file.inode)
                    *standing = kStandsReplaced;
                else if (static_cast<std::int64_t>(stamp.size) != file.size ||
                         FileTimeOfNs(stamp.writtenNs) != file.written ||
                         (sameSystem && stamp.changedNs != file.changedNs))
                    *standing = kStandsChanged;
                data.nDevice = stamp.device;
                data.nInode = stamp.inode;
            }
            if (*standing == kStandsChanged) ++m_counts.changed;
            if (*standing == kStandsMissing) ++m_counts.missing;
            if (*standing == kStandsReplaced) ++m_counts.replaced;
        }
        return std::make_unique<CFileRecord>(data, Folder(folder, name, &data));
    }

    // The folder's shared names, one per folder of the document.
    FolderRef Folder(const std::string& folder, const std::string& name, platform::FindData* data) {
        data->cFileName = name;
        auto at = m_folders.find(folder);
        if (at == m_folders.end())
            at = m_folders.emplace(folder, FolderRef(std::make_unique<FolderNames>(folder))).first;
        return at->second;
    }

    const std::string& m_text;
    JsonReader m_json;
    ResultsModel& m_results;
    SavedSearch& m_search;
    ReopenCounts& m_counts;
    const ReopenParts& m_parts;
    platform::FileSystemNames m_names;
    std::map<std::string, FolderRef> m_folders;
    bool m_ours = false, m_sawVersion = false, m_stopped = false;
    std::string m_version;  // the refusal of a newer version
    int m_sinceProgress = 0;
};

}  // namespace

bool ReadResultsDocument(const std::string& text, ResultsModel* results, SavedSearch* search,
                         ReopenCounts* counts, std::string* error, const ReopenParts& parts) {
    results->Clear();
    *search = SavedSearch();
    *counts = ReopenCounts();
    DocumentReader reader(text, *results, *search, *counts, parts);
    if (reader.Read(error)) return true;
    results->Clear();
    *counts = ReopenCounts();
    return false;
}

bool ReadWholeFile(const std::string& path, std::string* text, std::string* error,
                   std::int64_t limit) {
    platform::FileReader reader;
    if (!reader.Open(path)) {
        *error = platform::ErrorText(platform::LastErrorCode());
        return false;
    }
    if (reader.SizeAtOpen() > static_cast<std::uint64_t>(limit)) {
        *error = platform::ErrorText(EFBIG);
        return false;
    }
    text->clear();
    text->reserve(static_cast<std::size_t>(reader.SizeAtOpen()));
    char buffer[1 << 16];
    for (;;) {
        const long got = reader.Read(buffer, sizeof buffer);
        if (got < 0) {
            *error = platform::ErrorText(platform::LastErrorCode());
            return false;
        }
        if (got == 0) break;
        text->append(buffer, static_cast<std::size_t>(got));
        if (text->size() > static_cast<std::size_t>(limit)) {
            *error = platform::ErrorText(EFBIG);
            return false;
        }
    }
    return true;
}
