#include "engine/safe_delete.h"

#include <algorithm>
#include <cstdio>

#include "engine/string_table.h"
#include "engine/text_format.h"
#include "engine/file_check.h"

namespace {

// Whether the copy held open is, after the removal, still as it was when it was compared.
// `changeTimeMoves`: the action itself changes the copy's change time (a new link to it).
bool CopyUnchanged(platform::HeldFile& copy, bool changeTimeMoves = false) {
    platform::FileIdentity now;
    if (!copy.Reader().Current(&now)) return false;
    const platform::FileIdentity& then = copy.Reader().Identity();
    return now.size == then.size && now.lastWrite == then.lastWrite &&
           (changeTimeMoves || now.changed == then.changed);
}

}  // namespace

SafeDelete::SafeDelete(ProgressSink* progress, Deleter deleter) : m_pProgress(progress) {
    m_default = [deleter](platform::HeldFile& file) {
        return deleter && deleter({file.Path()}).empty() ? 0 : -1;
    };
    m_remover = m_default;
    m_compare = [](const CFileRecord& a, platform::FileReader& ra, const CFileRecord& b,
                   platform::FileReader& rb, const std::function<bool()>& stop,
                   std::string* reason) { return CompareOpenFiles(a, ra, b, rb, stop, reason); };
}

SafeDelete::SafeDelete(ProgressSink* progress, bool toTrash) : SafeDelete(progress, Deleter()) {
    m_default = [toTrash](platform::HeldFile& file) { return file.Remove(toTrash); };
    m_remover = m_default;
}

DeleteOutcome SafeDelete::Run(const ResultsModel& model, const std::vector<std::size_t>& rows) {
    DeleteOutcome out;
    const std::size_t n = model.RowCount();
    std::vector<char> chosen(n, 0);
    for (std::size_t row : rows)
        if (row < n) chosen[row] = 1;
    // A protected file stays, whoever chose it; it may still vouch for its copies.
    for (std::size_t row = 0; row < n; ++row) {
        const ResultRow& r = model.Row(row);
        if (!chosen[row] || !(r.isProtected || m_protected.Holds(r.record->Path()))) continue;
        chosen[row] = 0;
        out.kept.emplace_back(r.record->Path(), LoadStringText(IDS_DELETE_PROTECTED));
    }

    // For every chosen file, the rows of its group that stay (the copies to compare with).
    struct Candidate {
        std::size_t row;
        std::size_t firstStay;  // index into `stays`
        std::size_t stayCount;
    };
    std::vector<Candidate> candidates;
    std::vector<std::size_t> stays;
    for (std::size_t begin = 0; begin < n;) {
        std::size_t end = begin + 1;
        while (end < n && model.Row(end).image != kImageGroupFirst) ++end;
        const std::size_t firstStay = stays.size();
        std::size_t firstChosen = end;
        for (std::size_t r = begin; r < end; ++r) {
            if (!chosen[r]) stays.push_back(r);
            else if (firstChosen == end) firstChosen = r;
        }
        if (firstChosen != end) {
            if (stays.size() == firstStay) {
                // Every copy was chosen: the first one stays, so the file is not lost.
                stays.push_back(firstChosen);
                out.kept.emplace_back(model.Row(firstChosen).record->Path(),
                                      LoadStringText(IDS_DELETE_LAST_COPY));
            }
            for (std::size_t r = begin; r < end; ++r)
                if (chosen[r] && r != stays[firstStay])
                    candidates.push_back({r, firstStay, stays.size() - firstStay});
        }
        begin = end;
    }

    if (m_pProgress != nullptr) {
        m_pProgress->SetTotal(static_cast<std::int64_t>(candidates.size()));
        m_pProgress->SetStatus(LoadStringText(m_nStatusText));
    }
    const std::function<bool()> stop = [this] { return Cancelled(); };
    for (const Candidate& c : candidates) {
        if (m_pProgress != nullptr) m_pProgress->StepProgress(1);
        if (Cancelled()) {
            out.stopped = true;
            break;
        }
        const CFileRecord& record = *model.Row(c.row).record;
        // Held from its check to its removal: what goes is the file that was compared.
        platform::HeldFile file;
        int code = file.Open(record.Path(), platform::HeldFile::kGoes);
        if (code == 0) code = CheckScannedIdentity(record, file.Reader().Identity());
        if (code != 0) {
            out.kept.emplace_back(record.Path(), CFileRecord::ErrorCodeText(code));
            continue;
        }
        bool done = false;
        std::string why = LoadStringText(IDS_CONTENTS_DIFFER);
        for (std::size_t k = 0; k < c.stayCount && !done; ++k) {
            const CFileRecord& copyRecord = *model.Row(stays[c.firstStay + k]).record;
            // The copy stays open (and shared-locked) until the duplicate is gone.
            platform::HeldFile copy;
            code = copy.Open(copyRecord.Path(), platform::HeldFile::kStays);
            if (code == 0) code = CheckScannedIdentity(copyRecord, copy.Reader().Identity());
            if (code != 0) {
                why = std::string(LoadStringText(IDS_NO_COPY_STAYS)) + ": " + copyRecord.Path() +
                      " (" + CFileRecord::ErrorCodeText(code) + ")";
                continue;
            }
            if (k > 0 && !file.Reader().Rewind()) {
                why = CFileRecord::ErrorCodeText(platform::LastErrorCode());
                break;
            }
            std::string readError;
            const ContentMatch match =
                m_compare(record, file.Reader(), copyRecord, copy.Reader(), stop, &readError);
            if (match == ContentMatch::kStopped) {
                out.stopped = true;
                break;
            }
            if (match == ContentMatch::kFirstUnreadable) {
                why = readError;
                break;  // the file itself cannot be read: no copy will help
            }
            if (match == ContentMatch::kSecondUnreadable) {
                why = std::string(LoadStringText(IDS_NO_COPY_STAYS)) + ": " + copyRecord.Path() +
                      (readError.empty() ? "" : " (" + readError + ")");
                continue;
            }
            if (match == ContentMatch::kDifferent) {
                why = LoadStringText(IDS_CONTENTS_DIFFER);
                continue;
            }
            done = true;
            if (m_action) {
                std::string actionWhy;
                code = m_action(file, record, copy, copyRecord, &actionWhy);
                if (code != 0) {
                    out.kept.emplace_back(record.Path(),
                                          !actionWhy.empty() ? actionWhy
                                          : code == -1       ? LoadStringText(IDS_DELETE_FAILED)
                                                             : CFileRecord::ErrorCodeText(code));
                    break;
                }
                out.goneRows.push_back(c.row);
                if (!CopyUnchanged(copy, true))
                    out.kept.emplace_back(record.Path(),
                                          FormatReplacedCopyChanged(copyRecord.Path()));
                break;
            }
            code = m_remover ? m_remover(file) : -1;
            if (code != 0) {
                out.kept.emplace_back(record.Path(), code == -1 ? LoadStringText(IDS_DELETE_FAILED)
                                                                : CFileRecord::ErrorCodeText(code));
                break;
            }
            if (CopyUnchanged(copy)) {
                out.goneRows.push_back(c.row);
                if (file.Trashed()) out.trashed.emplace_back(c.row, file.TrashRecord());
                break;
            }
            // The copy changed before the duplicate was gone: what stays may no longer be what
            // went. A file in the trash goes back under its name.
            if (file.Trashed() && file.Restore() == 0) {
                out.kept.emplace_back(record.Path(),
                                      FormatCopyChangedBack(copyRecord.Path()));
                break;
            }
            out.goneRows.push_back(c.row);
            out.kept.emplace_back(record.Path(),
                                  file.Trashed() ? FormatCopyChangedTrash(copyRecord.Path())
                                                  : FormatCopyChangedGone(copyRecord.Path()));
        }
        if (out.stopped) break;
        if (!done) out.kept.emplace_back(record.Path(), why);
    }
    std::sort(out.goneRows.begin(), out.goneRows.end());
    return out;
}

std::string KeptFilesMessage(const std::vector<std::pair<std::string, std::string>>& kept,
                             std::size_t maxLines) {
    if (kept.empty()) return std::string();
    std::string text = LoadStringText(IDS_DELETE_KEPT_HEADING);
    text += "\n";
    const std::size_t shown = std::min(kept.size(), maxLines);
    for (std::size_t i = 0; i < shown; ++i) text += "\n" + kept[i].first + ": " + kept[i].second;
    if (kept.size() > shown) {
        text += "\n";
        text += FormatDeleteKeptMore(static_cast<int>(kept.size() - shown));
    }
    return text;
}
