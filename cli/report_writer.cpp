#include "cli/report_writer.h"

#include <cinttypes>
#include <cstdio>

#include "cli/terminal_progress.h"
#include "engine/actions/duplicate_action.h"
#include "engine/results/results_text.h"
#include "platform/file_time.h"

std::string FormatActionSteps(const std::vector<ActionStep>& steps, bool nul, bool escape) {
    std::string out;
    const auto name = [escape](const std::string& path) {
        return escape ? EscapeControls(path) : path;
    };
    // With NUL after each record, fields end in NUL too: a tab is a character of a name.
    const char field = nul ? '\0' : '\t';
    for (const ActionStep& step : steps) {
        out += ActionWord(step.kind);
        out += field;
        out += name(step.path);
        if (step.kind == DuplicateActionKind::kHardLink ||
            step.kind == DuplicateActionKind::kShareData)
            out += field + name(step.copy);
        if (step.kind == DuplicateActionKind::kMove) out += field + name(step.target);
        out += nul ? '\0' : '\n';
    }
    return out;
}

std::string FormatDryRun(const ResultsModel& results, bool nul, bool escape, int* files,
                         std::int64_t* bytes, const CliOptions* action) {
    // The plan of the action (a delete without one) for every copy but the kept one of each
    // group: the lines say what the action would do, file by file.
    PlanSettings settings;
    settings.kind = action != nullptr ? action->action : DuplicateActionKind::kDelete;
    if (action != nullptr) {
        settings.protectedFolders = action->search.keep.protectedFolders;
        settings.moveFolder = action->moveTo;
        settings.startPaths = action->search.paths;
    }
    std::vector<std::size_t> copies;
    for (const RowGroup& group : results.Groups())
        for (std::size_t row = group.begin + 1; row < group.end; ++row) copies.push_back(row);
    const ActionPlan plan(results, copies, settings);
    std::string out;
    const char end = nul ? '\0' : '\n';
    // With NUL after each record, fields end in NUL too: a tab is a character of a name.
    const char field = nul ? '\0' : '\t';
    *files = plan.Goes();
    *bytes = plan.Bytes();
    for (std::size_t row = 0; row < results.RowCount(); ++row) {
        const ResultRow& r = results.Row(row);
        const PlannedFile* planned = plan.Find(row);
        const bool goes = planned != nullptr && planned->verdict == PlanVerdict::kGoes;
        if (planned == nullptr) {
            out += "keep";
            out += field;
            out += KeepReasonName(r.keptBy);
        } else if (planned->verdict == PlanVerdict::kProtected) {
            out += "protect";
            out += field;
            out += '-';
        } else {
            out += goes ? ActionWord(settings.kind) : "keep";
            out += field;
            out += '-';
        }
        out += field;
        const std::string path = r.record->Path();
        out += escape ? EscapeControls(path) : path;
        if (goes && settings.kind == DuplicateActionKind::kMove) {
            out += field;
            out += escape ? EscapeControls(planned->target) : planned->target;
        }
        out += end;
        if (results.IsGroupLast(row)) out += end;
    }
    return out;
}

namespace {

// The length of the valid UTF-8 sequence at `at` (1 to 4), or 0 when the byte there starts
// none: no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(at);
    if (c < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((byte(at + k) & 0xC0) != 0x80) return 0;
    return length;
}

// The local time of `time` as "YYYY-MM-DDTHH:MM:SS"; a time the calendar cannot split is
// shown as the first instant of file time, as a record keeps a time it cannot make local.
std::string IsoTimeText(platform::FileTime time) {
    platform::SystemTime st;
    if (!platform::FileTimeToSystemTime(time, &st)) platform::FileTimeToSystemTime(0, &st);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02uT%02u:%02u:%02u", unsigned{st.wYear},
                  unsigned{st.wMonth}, unsigned{st.wDay}, unsigned{st.wHour}, unsigned{st.wMinute},
                  unsigned{st.wSecond});
    return buf;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out;
    char buf[8];
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        const std::size_t length = Utf8Length(text, at);
        if (length == 0) {
            std::snprintf(buf, sizeof buf, "\\udc%02x", c);
            out += buf;
            ++at;
            continue;
        }
        if (length == 1) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20 || c == 0x7F) {
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
            ++at;
            continue;
        }
        const std::string sequence = text.substr(at, length);
        // U+202A to U+202E and U+2066 to U+2069: direction marks.
        const bool mark = length == 3 && static_cast<unsigned char>(sequence[0]) == 0xE2 &&
                          ((static_cast<unsigned char>(sequence[1]) == 0x80 &&
                            static_cast<unsigned char>(sequence[2]) >= 0xAA &&
                            static_cast<unsigned char>(sequence[2]) <= 0xAE) ||
                           (static_cast<unsigned char>(sequence[1]) == 0x81 &&
                            static_cast<unsigned char>(sequence[2]) >= 0xA6 &&
                            static_cast<unsigned char>(sequence[2]) <= 0xA9));
        if (mark) {
            const unsigned code = 0x2000u |
                                  ((static_cast<unsigned char>(sequence[1]) & 0x3Fu) << 6) |
                                  (static_cast<unsigned char>(sequence[2]) & 0x3Fu);
            std::snprintf(buf, sizeof buf, "\\u%04x", code);
            out += buf;
        } else {
            out += sequence;
        }
        at += length;
    }
    return out;
}

std::string FormatJson(const ResultsModel& results) {
    std::string out = "{\"groups\": [";
    char buf[64];
    for (std::size_t row = 0; row < results.RowCount(); ++row) {
        const ResultRow& r = results.Row(row);
        const CFileRecord& record = *r.record;
        const bool first = results.IsGroupFirst(row);
        if (first) {
            if (row > 0) out += "]},";
            std::snprintf(buf, sizeof buf, "%" PRId64, record.m_nSize);
            out += "\n  {\"size\": ";
            out += buf;
            // A group's fingerprints are those of its files; the first row may have lost its
            // cells to a delete, the record keeps them.
            std::snprintf(buf, sizeof buf, ", \"crc\": \"%08" PRIx32 "\", \"checksum\": \"%08" PRIx32
                          "\", \"files\": [",
                          record.m_dwCrc, record.m_dwChecksum);
            out += buf;
        } else {
            out += ",";
        }
        out += "\n    {\"path\": \"" + JsonString(record.Path()) + "\", \"time\": \"" +
               IsoTimeText(record.m_ftWritten) + "\", \"keep\": ";
        out += first ? "true, \"rule\": \"" + std::string(KeepReasonName(r.keptBy)) + "\""
                     : std::string("false");
        out += ", \"protected\": ";
        out += r.isProtected ? "true}" : "false}";
    }
    if (results.RowCount() > 0) out += "]}\n";
    out += "]}\n";
    return out;
}

std::string FormatResults(const ResultsModel& results, bool csv, bool nul, bool escape) {
    std::string out;
    const char end = nul ? '\0' : '\n';
    for (std::size_t row = 0; row < results.RowCount(); ++row) {
        if (csv) {
            std::string line = RowText(results, row, ",", true);
            if (escape && line.size() >= 2) {
                // The cells, not the CR LF that ends the row.
                line = EscapeControls(line.substr(0, line.size() - 2)) + "\r\n";
            }
            out += line;
            continue;
        }
        const std::string& path = results.Row(row).record->Path();
        out += escape ? EscapeControls(path) : path;
        out += end;
        if (results.IsGroupLast(row)) out += end;
    }
    return out;
}
