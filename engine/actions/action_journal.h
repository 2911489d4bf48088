// A small append-only record of what the actions are doing, beside the settings, so that what
// a killed run left behind can be found and settled at the next start (engine/actions/
// leftovers.h), and the window's undo of its last action outlives a crash.
//
// One line per event: fields separated by spaces, each escaped so that any bytes of a name
// survive (see EscapeField), and a checksum at the end: a damaged or cut line is skipped. The
// lines are appended with one write each and not flushed to the disk: a killed program's
// writes stay in the system's cache, and a lost system is no worse than no journal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/actions/action_kinds.h"
#include "platform/file_identity.h"

// One two-step act, as recorded before it starts.
struct JournalAct {
    std::string id;              // unique among the acts of the journal
    std::uint64_t process = 0;   // the process that acted
    DuplicateActionKind kind = DuplicateActionKind::kDelete;
    std::string path;            // the file acted on
    std::uint64_t device = 0;    // its identity as it was held
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::string copy;            // the copy it was compared with
    std::string target;          // kMove: where it was to go
};

// What a journal holds.
struct JournalContents {
    std::vector<JournalAct> unfinished;          // begun and never ended, in order
    std::vector<std::vector<std::string>> undo;  // the last undo saved (and not cleared)
    std::size_t skipped = 0;                     // damaged lines passed over
};

class ActionJournal {
public:
    // The journal at `path`; DefaultPath() when empty.
    explicit ActionJournal(std::string path = std::string());

    // <application data folder>/actions.journal ("" when there is no such folder).
    static std::string DefaultPath();
    const std::string& Path() const { return m_path; }

    // Records that `act` begins (its id and process are filled in when empty); returns the
    // id, "" when nothing could be written.
    std::string Begin(JournalAct act);
    // Records that the act of `id` is over (done or given up: nothing of it is left).
    void End(const std::string& id);

    // The undo of the last action, as lines of fields, replacing the one before; and its end.
    bool SaveUndo(const std::vector<std::vector<std::string>>& lines);
    bool ClearUndo();

    JournalContents Read() const;
    // Rewrites the journal without the acts that are over, nor those of `settled`: what stays
    // is the undo and the unfinished acts of processes still running.
    void Compact(const std::set<std::string>& settled);

    // One line of `fields` (with its checksum and line break), and back: false for a damaged
    // line (bad escape, bad checksum, too long).
    static std::string EncodeLine(const std::vector<std::string>& fields);
    static bool DecodeLine(const std::string& line, std::vector<std::string>* fields);

    // Limits: the longest line and the most of a journal read.
    static constexpr std::size_t kMaxLine = 1 << 16;
    static constexpr std::size_t kMaxJournal = 8u << 20;

private:
    std::string m_path;
};

// The bytes of `field` with every space, control byte, byte above 0x7e and "%" written as
// "%XX"; an empty field is "%". UnescapeField gives them back (false when damaged).
std::string EscapeField(const std::string& field);
bool UnescapeField(const std::string& text, std::string* out);

// Number fields of the journal and the undo lines.
std::string NumberField(std::uint64_t value);
bool ParseNumberField(const std::string& text, std::uint64_t* out);
// A signed number, as the unsigned field of its two's complement.
std::string SignedField(std::int64_t value);
bool ParseSignedField(const std::string& text, std::int64_t* out);

// The act on `path` (held as `identity`) begins and ends, in the default journal: what the
// checked loop records around each act. The begin gives the id the end takes ("" when the
// journal could not be written: the act goes on all the same).
std::string JournalActBegins(DuplicateActionKind kind, const std::string& path,
                             const platform::FileIdentity& identity, const std::string& copy,
                             const std::string& target);
void JournalActEnds(const std::string& id);
