// The order in which a search found its rows, kept beside the listed results so that changed
// keep rules can order the groups anew without a new search: ties then fall to the order found,
// not to the order the previous rules left.
#pragma once

#include <cstddef>
#include <unordered_map>

#include "engine/results/keep_rules.h"
#include "engine/results/results_model.h"

class FoundOrder {
public:
    // Ranks the rows of `model` as they stand (call it before any rule orders them).
    void Remember(const ResultsModel& model);
    // Gives `record` (a row put back later) its place in the found order.
    void Add(const CFileRecord* record, std::size_t rank) { m_rank[record] = rank; }
    // The rank of `record`; rows never ranked come after every ranked one.
    std::size_t RankOf(const CFileRecord* record) const;
    void Clear() { m_rank.clear(); }

    // Puts the rows of `model` back in the order found (each group's files, and the groups by
    // their first file found), forgets the protected marks and the reasons, then applies
    // `policy`: the same rows as a new search with `policy` would list, but for groups that
    // an earlier policy dropped or that deletes changed.
    void Reapply(const KeepPolicy& policy, ResultsModel& model) const;

private:
    std::unordered_map<const CFileRecord*, std::size_t> m_rank;
};
