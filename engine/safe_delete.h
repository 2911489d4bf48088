// The delete command's safety: a listed file is removed only while a copy of it stays. Before a
// file goes it must still be the file that was scanned, and its contents must equal, byte for
// byte, those of a file of its group that is not being removed (which is checked the same way).
// When every file of a group is chosen, the group's first chosen file stays as the last copy.
// Files are removed in small batches right after their checks, through a replaceable deleter;
// a batch holds as many files as the deleter removed in about kFlushMs the last time, so that a
// slow trash or disk never keeps the caller from its progress sink for long.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "engine/progress_sink.h"
#include "engine/results_model.h"

struct DeleteOutcome {
    std::vector<std::size_t> goneRows;  // rows whose files are gone, ascending
    // Files that were to go and stayed: path and why (the last copies of wholly chosen
    // groups first, then the others in row order).
    std::vector<std::pair<std::string, std::string>> kept;
    bool stopped = false;  // the user stopped it; the files not reached yet were left alone
};

class SafeDelete {
public:
    // Removes the files of `paths`; returns those still there afterwards.
    using Deleter = std::function<std::vector<std::string>(const std::vector<std::string>&)>;

    // `progress` (may be null, not owned) shows the work and can stop it.
    SafeDelete(ProgressSink* progress, Deleter deleter)
        : m_pProgress(progress), m_deleter(std::move(deleter)) {}

    // Checks and removes the files of `rows` (any order; repeats and rows out of range ignored)
    // of `model`, which is not changed: the caller removes the rows of DeleteOutcome::goneRows.
    DeleteOutcome Run(const ResultsModel& model, const std::vector<std::size_t>& rows);

    // Files checked before each call of the deleter: at most kBatch, at first kFirstBatch, then
    // as many as the last call removed in kFlushMs milliseconds (at least one).
    static constexpr std::size_t kBatch = 256;
    static constexpr std::size_t kFirstBatch = 16;
    static constexpr int kFlushMs = 40;

    // The number of files handed to each call of the deleter in the last Run, in order.
    const std::vector<std::size_t>& BatchSizes() const { return m_batchSizes; }

private:
    bool Cancelled() const { return m_pProgress != nullptr && m_pProgress->Cancelled(); }
    // Hands `batch` (rows) to the deleter, sorts its rows into gone and kept, and sizes the
    // next batch by the time the deleter took.
    void Flush(const ResultsModel& model, std::vector<std::size_t>& batch, DeleteOutcome& out);

    ProgressSink* m_pProgress;
    Deleter m_deleter;
    std::size_t m_nBatch = kFirstBatch;
    std::vector<std::size_t> m_batchSizes;
};

// The message after a delete that left files behind: string 2251, then "path: reason" per file,
// at most `maxLines` of them, then how many more (2255). "" when nothing was kept.
std::string KeptFilesMessage(const std::vector<std::pair<std::string, std::string>>& kept,
                             std::size_t maxLines = 20);
