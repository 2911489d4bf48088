#include "engine/results/keep_rule_names.h"

#include "engine/text/string_table.h"

namespace {

// The settings words are those older settings files hold, and stay so; the command line had
// its own words from the start.
const KeepRuleName kRules[] = {
    {kKeptFolder, "folder", "path", true, "path", IDS_KEEP_RULE_FOLDER, IDS_KEEP_REASON_FOLDER},
    {kKeptNoCopyMark, "nocopy", "nocopymark", false, "nocopymark", IDS_KEEP_RULE_NO_COPY_MARK,
     IDS_KEEP_REASON_NO_COPY_MARK},
    {kKeptOldest, "oldest", "oldest", false, "oldest", IDS_KEEP_RULE_OLDEST,
     IDS_KEEP_REASON_OLDEST},
    {kKeptNewest, "newest", "newest", false, "newest", IDS_KEEP_RULE_NEWEST,
     IDS_KEEP_REASON_NEWEST},
    {kKeptShortestPath, "shortest", "shortest", false, "shortest", IDS_KEEP_RULE_SHORTEST,
     IDS_KEEP_REASON_SHORTEST},
    {kKeptLongestPath, "longest", "longest", false, "longest", IDS_KEEP_RULE_LONGEST,
     IDS_KEEP_REASON_LONGEST},
    {kKeptMask, "mask", "mask", true, "mask", IDS_KEEP_RULE_MASK, IDS_KEEP_REASON_MASK},
};

}  // namespace

const KeepRuleName* KeepRuleNamesBegin() { return kRules; }
const KeepRuleName* KeepRuleNamesEnd() { return kRules + KeepRuleNameCount(); }
std::size_t KeepRuleNameCount() { return sizeof kRules / sizeof kRules[0]; }

const KeepRuleName* FindKeepRule(KeepReason kind) {
    for (const KeepRuleName& rule : kRules)
        if (rule.kind == kind) return &rule;
    return nullptr;
}

const KeepRuleName* FindKeepRuleBySettingsWord(const std::string& word) {
    for (const KeepRuleName& rule : kRules)
        if (word == rule.settingsWord || word == rule.commandWord) return &rule;
    return nullptr;
}

const KeepRuleName* FindKeepRuleByCommandWord(const std::string& word, std::string* value) {
    for (const KeepRuleName& rule : kRules) {
        const std::string name = rule.commandWord;
        if (!rule.takesValue) {
            if (word == name) return &rule;
        } else if (word.compare(0, name.size() + 1, name + ':') == 0) {
            *value = word.substr(name.size() + 1);
            return &rule;
        }
    }
    return nullptr;
}

const char* KeepReasonWord(KeepReason reason) {
    if (reason == kKeptProtected) return "protected";
    if (reason == kKeptTied) return "tied";
    const KeepRuleName* rule = FindKeepRule(reason);
    return rule != nullptr ? rule->reasonWord : "found";
}

int KeepReasonTextId(KeepReason reason) {
    if (reason == kKeptProtected) return IDS_KEEP_REASON_PROTECTED;
    if (reason == kKeptTied) return IDS_KEEP_REASON_TIED;
    const KeepRuleName* rule = FindKeepRule(reason);
    return rule != nullptr ? rule->reasonText : IDS_KEEP_REASON_AS_FOUND;
}
