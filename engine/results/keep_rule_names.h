// The names of the keep rules, in one table for every vocabulary that names them: the settings'
// rule order text, the command line's --keep, the reason word of the dry run and the JSON
// report, the options sheet's line and the list's keep reason cell. A rule added here is named
// everywhere at once.
#pragma once

#include <cstddef>
#include <string>

#include "engine/results/results_model.h"

struct KeepRuleName {
    KeepReason kind;
    const char* settingsWord;  // in the settings text: "folder,nocopy,oldest,-newest,..."
    // In --keep; a rule that takes a value is written "word:value" ("path:DIR", "mask:*.jpg").
    const char* commandWord;
    bool takesValue;
    const char* reasonWord;  // why a group's first file stays, in the dry run and the JSON
    int sheetText;           // the options sheet's line (IDS_KEEP_RULE_*)
    int reasonText;          // the list's keep reason cell (IDS_KEEP_REASON_*)
};

// The seven rules, in the order a new user sees them.
const KeepRuleName* KeepRuleNamesBegin();
const KeepRuleName* KeepRuleNamesEnd();
std::size_t KeepRuleNameCount();

// The entry of `kind`; nullptr for a reason that is no rule (kKeptAsFound, kKeptProtected).
const KeepRuleName* FindKeepRule(KeepReason kind);
// The rule a word of the settings text names: its settings word, or its command-line word (a
// text may spell "nocopymark" as the command line does); nullptr when none.
const KeepRuleName* FindKeepRuleBySettingsWord(const std::string& word);
// The rule a --keep word names: its command-line word, followed by ':' and a value (returned in
// `value`) exactly for a rule that takes one; nullptr when none.
const KeepRuleName* FindKeepRuleByCommandWord(const std::string& word, std::string* value);

// The reason word of any reason: the rule's, "protected" or "found".
const char* KeepReasonWord(KeepReason reason);
// The text id of the keep reason cell of any reason.
int KeepReasonTextId(KeepReason reason);
