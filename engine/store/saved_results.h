// A search kept in a file: the document `pairscout-cli --json` writes and the window saves and
// opens. It holds what the search was given, when it ran, and per file its path, size, times
// and identity, its group, and whether it is the kept copy and why. Opening it trusts none of
// that: every file is looked at again, and one that is not as saved is marked so and never
// selected or acted on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/results/results_model.h"

// The format's version this program writes and reads; a newer one is refused by name.
constexpr int kResultsFormatVersion = 1;
// A results file larger than this is refused before it is read (a million files take about
// 400 MB).
constexpr std::int64_t kMaxResultsFileBytes = std::int64_t{4} << 30;

// The word of `standing` in the document and in the command line's dry run ("here",
// "changed", "missing", "replaced", "catalog").
const char* StandingWord(RowStanding standing);

// What the search was given and when it ran, as the document names it.
struct SavedSearch {
    std::vector<std::string> paths;      // the start paths
    std::string mask;                    // include and exclude masks, as typed
    std::vector<std::string> protect;    // the protected folders
    platform::FileTime searchTime = 0;   // local, as ResultsModel::SearchTime
    std::string catalog;                 // a catalog's name when the groups compare with one
};

// The document of `results` (its rows in order, each group with its size and fingerprints).
// `search` (may be null) names what the search was given. Each file's change time and the
// name of its file system are asked of the disk now, and written only when the file is still
// the one listed (same identity, size and last-write time): a file changed since the search
// must not be saved as if it were the one compared.
std::string FormatResultsDocument(const ResultsModel& results, const SavedSearch* search);

// What opening found.
struct ReopenCounts {
    int files = 0;
    int changed = 0;   // kStandsChanged
    int missing = 0;   // kStandsMissing
    int replaced = 0;  // kStandsReplaced
    int NotHere() const { return changed + missing + replaced; }
};

struct ReopenParts {
    // Asked now and then with the share of the document read (0 to 1): false stops the
    // opening, which then fails with `error` empty.
    std::function<bool(double)> progress;
    // Look at every file on the disk (off: the rows stand as saved; for the format's tests).
    bool checkDisk = true;
};

// Reads the document `text` into `results` (cleared first) and `search`. Each file is looked
// at on the disk: one gone, changed or replaced since is marked so (RowStanding). False with
// the reason in *error, and `results` empty, for anything that is not a whole, valid document
// of a version this program reads. Nothing in `text` is trusted: sizes, counts, depth, names
// and numbers are all checked.
bool ReadResultsDocument(const std::string& text, ResultsModel* results, SavedSearch* search,
                         ReopenCounts* counts, std::string* error,
                         const ReopenParts& parts = ReopenParts());

// Reads the file at `path` whole into *text. False with the reason in *error (the system's,
// or that it is larger than kMaxResultsFileBytes).
bool ReadWholeFile(const std::string& path, std::string* text, std::string* error,
                   std::int64_t limit = kMaxResultsFileBytes);
