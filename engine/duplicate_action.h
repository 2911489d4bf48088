// What is done with the duplicates of a search: moved to the trash, deleted for good, replaced by
// hard links of the copy that stays, made to share its data blocks, or moved into a folder. Every
// action goes through SafeDelete's checks first (the file is still the scanned one, its bytes
// equal those of a copy that stays, both held open), so there is one checking path for the
// window and the command line; files in protected folders are never touched. Each file done is
// recorded (what, from where, to where) so that it can be reported, and taken back later.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/safe_delete.h"
#include "platform/file_metadata.h"

enum class DuplicateActionKind {
    kTrash,      // to the trash
    kDelete,     // for good
    kHardLink,   // the duplicate's name becomes a second name of the copy that stays
    kShareData,  // the duplicate keeps its name, permissions and times, shares the copy's blocks
    kMove,       // into a folder, keeping its place below its start path
};

// One file done.
struct ActionStep {
    DuplicateActionKind kind = DuplicateActionKind::kTrash;
    std::size_t row = 0;
    std::string path;    // the duplicate, where it was
    std::string copy;    // the copy it was compared with (the one linked to or shared with)
    std::string target;  // kMove: where it is now; kTrash: where in the trash, if known
    std::int64_t bytes = 0;
    // The file as it stood right after the step, for taking it back: kHardLink the copy's file
    // (which the path names too now), kMove the file at `target`.
    platform::FileIdentity after;
    // kHardLink: the duplicate's own metadata, taken just before the link, for giving it back.
    std::optional<platform::FileMetadata> before;
};

struct ActionOutcome {
    std::vector<ActionStep> done;  // in the order done
    // Files that were to be acted on and were left, with why (see DeleteOutcome::kept); a file
    // done whose copy changed meanwhile is named here too.
    std::vector<std::pair<std::string, std::string>> refused;
    bool stopped = false;
    // Free space of the file systems acted on, after less before, as they report it; known
    // only when every one of them could tell both times.
    bool freedKnown = false;
    std::int64_t freedBytes = 0;
};

class DuplicateAction {
public:
    // `progress` (may be null, not owned) shows the work and can stop it.
    DuplicateAction(DuplicateActionKind kind, ProgressSink* progress);

    DuplicateActionKind Kind() const { return m_kind; }
    void SetProtectedFolders(const std::vector<std::string>& folders);
    // kMove: the folder the duplicates go into, and the search's start paths (a file goes to
    // MoveTarget(folder, startPaths, path)).
    void SetMoveTarget(const std::string& folder, const std::vector<std::string>& startPaths);
    // kHardLink: also replace a duplicate whose permissions or owner differ from the copy's
    // (it then takes the copy's). Off: such a file is left and named.
    void SetAnyOwner(bool any) { m_anyOwner = any; }
    // The checks, for tests that replace their parts (SafeDelete::SetCompare).
    SafeDelete& Checks() { return m_checks; }

    // Acts on the files of `rows` of `model` (which is not changed).
    ActionOutcome Run(const ResultsModel& model, const std::vector<std::size_t>& rows);

private:
    int Act(platform::HeldFile& file, const CFileRecord& record, platform::HeldFile& copy,
            const CFileRecord& copyRecord, std::string* why);

    DuplicateActionKind m_kind;
    SafeDelete m_checks;
    bool m_anyOwner = false;
    std::string m_moveFolder;
    std::vector<std::string> m_startPaths;
    std::vector<ActionStep> m_steps;  // of the run under way
};

// Where kMove puts `path`: `folder`, the last name of the start path that holds it (the longest
// of them when several do; "root" for a root), then the path below that start path. "" when no
// start path holds it.
std::string MoveTarget(const std::string& folder, const std::vector<std::string>& startPaths,
                       const std::string& path);

// The name of an action in the program's texts (IDS_ACTION_VERB_*).
const char* ActionVerb(DuplicateActionKind kind);
