// The keep rules as the user arranges them on the options sheet: every rule in the user's
// order, each on or off, with the folder priority list, the protected folders, the mask, and
// the group order. Kept in the settings as texts; turned into the KeepPolicy a search applies.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/results/keep_rules.h"

struct KeepRuleEntry {
    KeepReason kind = kKeptOldest;
    bool enabled = true;
    bool operator==(const KeepRuleEntry& o) const { return kind == o.kind && enabled == o.enabled; }
};

struct KeepSettings {
    std::vector<KeepRuleEntry> rules;  // each of the seven rules once
    std::vector<std::string> priorityFolders;
    std::vector<std::string> protectedFolders;
    std::string mask;  // of the path-mask rule
    bool onlyGroupsWithProtected = false;
    GroupOrder order = GroupOrder::kFreedBytes;
    // Replacing by hard links also replaces a duplicate whose permissions or owner differ from
    // the kept copy's (it then has the kept copy's); off: such a file is left and named.
    bool linkAnyOwner = false;
    // Once an action is over, the folders it left empty are removed (and come back with its
    // undo); off: they stay.
    bool removeEmptiedFolders = true;

    // A new user's: folder priority (no folders), no copy marks, oldest on, the others off;
    // groups by the bytes that could be freed.
    static KeepSettings Defaults();

    // The policy a search applies: the rules that are on, in order.
    KeepPolicy Policy() const;

    // The rule order as one text, "folder,nocopy,oldest,-newest,..." ("-": off), and back.
    // Reading takes the known names once each, in order (the settings words, and the command
    // line's, see keep_rule_names.h); rules the text leaves out follow, off. False (nothing changed) when the text names no rule at all.
    std::string RulesText() const;
    bool SetRulesText(const std::string& text);

    // Moves rule `index` one place up (`up`) or down; false when it cannot move.
    bool MoveRule(std::size_t index, bool up);

    bool operator==(const KeepSettings& o) const;
    bool operator!=(const KeepSettings& o) const { return !(*this == o); }
};

// The rules the page lists, in the order a new user sees them.
const std::vector<KeepReason>& KeepRuleKinds();
