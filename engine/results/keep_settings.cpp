#include "engine/results/keep_settings.h"

#include <algorithm>

#include "engine/results/keep_rule_names.h"

const std::vector<KeepReason>& KeepRuleKinds() {
    static const std::vector<KeepReason> kinds = [] {
        std::vector<KeepReason> all;
        for (const KeepRuleName* rule = KeepRuleNamesBegin(); rule != KeepRuleNamesEnd(); ++rule)
            all.push_back(rule->kind);
        return all;
    }();
    return kinds;
}

KeepSettings KeepSettings::Defaults() {
    KeepSettings settings;
    for (KeepReason kind : KeepRuleKinds())
        settings.rules.push_back(
            {kind, kind == kKeptFolder || kind == kKeptNoCopyMark || kind == kKeptOldest});
    settings.order = GroupOrder::kFreedBytes;
    return settings;
}

KeepPolicy KeepSettings::Policy() const {
    KeepPolicy policy;
    for (const KeepRuleEntry& entry : rules) {
        if (!entry.enabled) continue;
        KeepRule rule;
        rule.kind = entry.kind;
        if (entry.kind == kKeptFolder) rule.folders = priorityFolders;
        if (entry.kind == kKeptMask) {
            if (mask.empty()) continue;  // a rule without a mask decides nothing
            rule.mask = mask;
        }
        policy.rules.push_back(rule);
    }
    policy.protectedFolders = protectedFolders;
    policy.onlyGroupsWithProtected = onlyGroupsWithProtected;
    policy.order = order;
    return policy;
}

std::string KeepSettings::RulesText() const {
    std::string text;
    for (const KeepRuleEntry& entry : rules) {
        const KeepRuleName* name = FindKeepRule(entry.kind);
        if (name == nullptr) continue;
        if (!text.empty()) text += ',';
        if (!entry.enabled) text += '-';
        text += name->settingsWord;
    }
    return text;
}

bool KeepSettings::SetRulesText(const std::string& text) {
    std::vector<KeepRuleEntry> read;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        std::string token = text.substr(start, end - start);
        const bool enabled = token.empty() || token[0] != '-';
        if (!enabled) token.erase(0, 1);
        if (const KeepRuleName* name = FindKeepRuleBySettingsWord(token)) {
            const bool seen = std::any_of(read.begin(), read.end(), [&](const KeepRuleEntry& e) {
                return e.kind == name->kind;
            });
            if (!seen) read.push_back({name->kind, enabled});
        }
        start = end + 1;
    }
    if (read.empty()) return false;
    for (KeepReason kind : KeepRuleKinds()) {
        const bool seen = std::any_of(read.begin(), read.end(),
                                      [&](const KeepRuleEntry& e) { return e.kind == kind; });
        if (!seen) read.push_back({kind, false});
    }
    rules = read;
    return true;
}

bool KeepSettings::MoveRule(std::size_t index, bool up) {
    if (index >= rules.size() || (up && index == 0) || (!up && index + 1 >= rules.size()))
        return false;
    std::swap(rules[index], rules[up ? index - 1 : index + 1]);
    return true;
}

bool KeepSettings::operator==(const KeepSettings& o) const {
    return rules == o.rules && priorityFolders == o.priorityFolders &&
           protectedFolders == o.protectedFolders && mask == o.mask &&
           onlyGroupsWithProtected == o.onlyGroupsWithProtected && order == o.order &&
           linkAnyOwner == o.linkAnyOwner && removeEmptiedFolders == o.removeEmptiedFolders;
}
