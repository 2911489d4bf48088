#include "engine/safe_delete.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unordered_set>

#include "engine/string_table.h"
#include "engine/text_format.h"
#include "engine/file_check.h"

DeleteOutcome SafeDelete::Run(const ResultsModel& model, const std::vector<std::size_t>& rows) {
    DeleteOutcome out;
    m_nBatch = kFirstBatch;
    m_batchSizes.clear();
    const std::size_t n = model.RowCount();
    std::vector<char> chosen(n, 0);
    for (std::size_t row : rows)
        if (row < n) chosen[row] = 1;

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
        m_pProgress->SetStatus(LoadStringText(IDS_DELETE_CHECKING));
    }
    const std::function<bool()> stop = [this] { return Cancelled(); };
    std::vector<std::size_t> batch;
    for (const Candidate& c : candidates) {
        if (m_pProgress != nullptr) m_pProgress->StepProgress(1);
        if (Cancelled()) {
            out.stopped = true;
            break;
        }
        const CFileRecord& file = *model.Row(c.row).record;
        std::string reason;
        if (!IsStillScannedFile(file, &reason)) {
            out.kept.emplace_back(file.Path(), reason);
            continue;
        }
        bool same = false;
        std::string why = LoadStringText(IDS_CONTENTS_DIFFER);
        for (std::size_t k = 0; k < c.stayCount && !same; ++k) {
            const CFileRecord& copy = *model.Row(stays[c.firstStay + k]).record;
            std::string readError;
            switch (CompareContents(file, copy, stop, &readError)) {
                case ContentMatch::kSame: same = true; break;
                case ContentMatch::kDifferent: why = LoadStringText(IDS_CONTENTS_DIFFER); break;
                case ContentMatch::kFirstUnreadable:
                    why = readError;
                    k = c.stayCount;  // the file itself cannot be read: no copy will help
                    break;
                case ContentMatch::kSecondUnreadable:
                    why = std::string(LoadStringText(IDS_NO_COPY_STAYS)) + ": " +
                          copy.Path() + (readError.empty() ? "" : " (" + readError + ")");
                    break;
                case ContentMatch::kStopped: out.stopped = true; k = c.stayCount; break;
            }
        }
        if (out.stopped) break;
        if (!same) {
            out.kept.emplace_back(file.Path(), why);
            continue;
        }
        batch.push_back(c.row);
        if (batch.size() >= m_nBatch) Flush(model, batch, out);
    }
    // A stop leaves the checked files of the last batch alone, like those not reached.
    if (!out.stopped) Flush(model, batch, out);
    std::sort(out.goneRows.begin(), out.goneRows.end());
    return out;
}

void SafeDelete::Flush(const ResultsModel& model, std::vector<std::size_t>& batch,
                       DeleteOutcome& out) {
    if (batch.empty()) return;
    std::vector<std::string> paths;
    paths.reserve(batch.size());
    for (std::size_t row : batch) paths.push_back(model.Row(row).record->Path());
    m_batchSizes.push_back(paths.size());
    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::string> left = m_deleter ? m_deleter(paths) : paths;
    // The next batch takes about kFlushMs at the pace of this one.
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double perFile = seconds / static_cast<double>(paths.size());
    const double fit = perFile > 0 ? (kFlushMs / 1000.0) / perFile : static_cast<double>(kBatch);
    m_nBatch = static_cast<std::size_t>(std::max(1.0, std::min(fit, static_cast<double>(kBatch))));
    const std::unordered_set<std::string> still(left.begin(), left.end());
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (still.count(paths[i]) != 0)
            out.kept.emplace_back(paths[i], LoadStringText(IDS_DELETE_FAILED));
        else
            out.goneRows.push_back(batch[i]);
    }
    batch.clear();
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
