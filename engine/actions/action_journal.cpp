#include "engine/actions/action_journal.h"

#include <atomic>
#include <chrono>
#include <map>

#include "platform/leftover_files.h"
#include "platform/file_find.h"
#include "platform/user_folders.h"

namespace {

const char kHex[] = "0123456789abcdef";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// FNV-1a over the line's text before its checksum.
std::uint32_t LineSum(const std::string& text) {
    std::uint32_t sum = 2166136261u;
    for (unsigned char c : text) sum = (sum ^ c) * 16777619u;
    return sum;
}

std::vector<std::string> SplitLines(const std::string& text, std::size_t* skipped,
                                    std::vector<std::vector<std::string>>* out) {
    std::vector<std::string> raw;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            ++*skipped;  // cut short by a kill: never trusted
            break;
        }
        const std::string line = text.substr(start, end + 1 - start);
        std::vector<std::string> fields;
        if (ActionJournal::DecodeLine(line, &fields) && !fields.empty()) {
            out->push_back(std::move(fields));
            raw.push_back(line);
        } else {
            ++*skipped;
        }
        start = end + 1;
    }
    return raw;
}

bool ActFromFields(const std::vector<std::string>& f, JournalAct* act) {
    std::uint64_t kind = 0;
    if (f.size() != 10 || f[0] != "B" || f[1].empty() || !ParseNumberField(f[2], &act->process) ||
        !ParseNumberField(f[3], &kind) || kind > static_cast<std::uint64_t>(DuplicateActionKind::kMove) ||
        f[4].empty() || !ParseNumberField(f[5], &act->device) ||
        !ParseNumberField(f[6], &act->inode) || !ParseNumberField(f[7], &act->size))
        return false;
    act->id = f[1];
    act->kind = static_cast<DuplicateActionKind>(kind);
    act->path = f[4];
    act->copy = f[8];
    act->target = f[9];
    return true;
}

// What the parsed lines say, with the lines that make each part (for a rewrite).
struct Parsed {
    JournalContents contents;
    std::map<std::string, std::string> beginLines;  // id -> its line, of the unfinished acts
    std::vector<std::string> undoLines;             // the saved undo, whole
};

Parsed Parse(const std::string& text) {
    Parsed parsed;
    std::vector<std::vector<std::string>> lines;
    const std::vector<std::string> raw = SplitLines(text, &parsed.contents.skipped, &lines);
    std::map<std::string, JournalAct> open;
    std::vector<std::string> order;
    std::vector<std::vector<std::string>> pending, current;
    std::vector<std::string> pendingRaw, currentRaw;
    bool inBlock = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string>& f = lines[i];
        if (f[0] == "B") {
            JournalAct act;
            if (!ActFromFields(f, &act)) {
                ++parsed.contents.skipped;
                continue;
            }
            if (open.emplace(act.id, act).second) order.push_back(act.id);
            parsed.beginLines[act.id] = raw[i];
        } else if (f[0] == "E" && f.size() == 2) {
            open.erase(f[1]);
            parsed.beginLines.erase(f[1]);
        } else if (f[0] == "US" && f.size() == 1) {
            // A new undo replaces the one before, even if it is never finished.
            current.clear();
            currentRaw.clear();
            pending.clear();
            pendingRaw = {raw[i]};
            inBlock = true;
        } else if (f[0] == "U" && inBlock) {
            pending.emplace_back(f.begin() + 1, f.end());
            pendingRaw.push_back(raw[i]);
        } else if (f[0] == "UE" && f.size() == 2 && inBlock) {
            std::uint64_t count = 0;
            if (ParseNumberField(f[1], &count) && count == pending.size()) {
                current = std::move(pending);
                pendingRaw.push_back(raw[i]);
                currentRaw = std::move(pendingRaw);
            }
            pending.clear();
            pendingRaw.clear();
            inBlock = false;
        } else if (f[0] == "UC" && f.size() == 1) {
            current.clear();
            currentRaw.clear();
            pending.clear();
            pendingRaw.clear();
            inBlock = false;
        } else {
            ++parsed.contents.skipped;
        }
    }
    for (const std::string& id : order) {
        const auto it = open.find(id);
        if (it != open.end()) parsed.contents.unfinished.push_back(it->second);
    }
    parsed.contents.undo = std::move(current);
    parsed.undoLines = std::move(currentRaw);
    return parsed;
}

std::string NewId() {
    static std::atomic<std::uint64_t> counter{0};
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return NumberField(platform::CurrentProcessId()) + "-" +
           NumberField(static_cast<std::uint64_t>(
               std::chrono::duration_cast<std::chrono::microseconds>(now).count())) +
           "-" + NumberField(++counter);
}

}  // namespace

std::string EscapeField(const std::string& field) {
    if (field.empty()) return "%";
    std::string out;
    out.reserve(field.size());
    for (unsigned char c : field) {
        if (c <= 0x20 || c >= 0x7f || c == '%') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool UnescapeField(const std::string& text, std::string* out) {
    out->clear();
    if (text == "%") return true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c <= 0x20 || c >= 0x7f) return false;
        if (c != '%') {
            *out += static_cast<char>(c);
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return false;
        *out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::string NumberField(std::uint64_t value) { return std::to_string(value); }

bool ParseNumberField(const std::string& text, std::uint64_t* out) {
    if (text.empty() || text.size() > 20) return false;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return false;
        value = value * 10 + digit;
    }
    *out = value;
    return true;
}

std::string SignedField(std::int64_t value) { return NumberField(static_cast<std::uint64_t>(value)); }

bool ParseSignedField(const std::string& text, std::int64_t* out) {
    std::uint64_t value = 0;
    if (!ParseNumberField(text, &value)) return false;
    *out = static_cast<std::int64_t>(value);
    return true;
}

std::string ActionJournal::EncodeLine(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& field : fields) {
        line += EscapeField(field);
        line += ' ';
    }
    const std::uint32_t sum = LineSum(line);
    line += '#';
    for (int shift = 28; shift >= 0; shift -= 4) line += kHex[(sum >> shift) & 15];
    line += '\n';
    return line;
}

bool ActionJournal::DecodeLine(const std::string& line, std::vector<std::string>* fields) {
    fields->clear();
    // "... #xxxxxxxx\n"
    if (line.size() > kMaxLine || line.size() < 10 || line.back() != '\n' ||
        line[line.size() - 10] != '#')
        return false;
    const std::string body = line.substr(0, line.size() - 10);
    std::uint32_t sum = 0;
    for (std::size_t i = line.size() - 9; i < line.size() - 1; ++i) {
        const int digit = HexValue(line[i]);
        if (digit < 0) return false;
        sum = (sum << 4) | static_cast<std::uint32_t>(digit);
    }
    if (sum != LineSum(body)) return false;
    std::size_t start = 0;
    while (start < body.size()) {
        const std::size_t space = body.find(' ', start);
        if (space == std::string::npos) return false;  // every field ends in a space
        std::string field;
        if (!UnescapeField(body.substr(start, space - start), &field)) return false;
        fields->push_back(std::move(field));
        start = space + 1;
    }
    return true;
}

ActionJournal::ActionJournal(std::string path)
    : m_path(path.empty() ? DefaultPath() : std::move(path)) {}

std::string ActionJournal::DefaultPath() {
    const std::string folder = platform::ApplicationDataFolder("Pairscout");
    return folder.empty() ? std::string() : folder + platform::kPathSeparator + "actions.journal";
}

std::string ActionJournal::Begin(JournalAct act) {
    if (m_path.empty()) return std::string();
    if (act.id.empty()) act.id = NewId();
    if (act.process == 0) act.process = platform::CurrentProcessId();
    const std::string line = EncodeLine(
        {"B", act.id, NumberField(act.process), NumberField(static_cast<std::uint64_t>(act.kind)),
         act.path, NumberField(act.device), NumberField(act.inode), NumberField(act.size),
         act.copy, act.target});
    return line.size() <= kMaxLine && platform::AppendToFile(m_path, line) ? act.id
                                                                            : std::string();
}

void ActionJournal::End(const std::string& id) {
    if (m_path.empty() || id.empty()) return;
    platform::AppendToFile(m_path, EncodeLine({"E", id}));
}

bool ActionJournal::SaveUndo(const std::vector<std::vector<std::string>>& lines) {
    if (m_path.empty()) return false;
    std::string text = EncodeLine({"US"});
    std::size_t count = 0;
    for (const std::vector<std::string>& fields : lines) {
        std::vector<std::string> line{"U"};
        line.insert(line.end(), fields.begin(), fields.end());
        const std::string encoded = EncodeLine(line);
        if (encoded.size() > kMaxLine) continue;  // too long to read back: left out
        text += encoded;
        ++count;
    }
    text += EncodeLine({"UE", NumberField(count)});
    return platform::AppendToFile(m_path, text);
}

bool ActionJournal::ClearUndo() {
    return !m_path.empty() && platform::AppendToFile(m_path, EncodeLine({"UC"}));
}

JournalContents ActionJournal::Read() const {
    JournalContents contents;
    if (m_path.empty()) return contents;
    platform::EditFile(m_path, kMaxJournal, [&contents](const std::string& text) {
        contents = Parse(text).contents;
        return text;
    });
    return contents;
}

void ActionJournal::Compact(const std::set<std::string>& settled) {
    if (m_path.empty()) return;
    platform::EditFile(m_path, kMaxJournal, [&settled](const std::string& text) {
        const Parsed parsed = Parse(text);
        std::string out;
        for (const JournalAct& act : parsed.contents.unfinished)
            if (settled.count(act.id) == 0) out += parsed.beginLines.at(act.id);
        for (const std::string& line : parsed.undoLines) out += line;
        return out;
    });
}

std::string JournalActBegins(DuplicateActionKind kind, const std::string& path,
                             const platform::FileIdentity& identity, const std::string& copy,
                             const std::string& target) {
    JournalAct act;
    act.kind = kind;
    act.path = path;
    act.device = identity.device;
    act.inode = identity.inode;
    act.size = identity.size;
    act.copy = copy;
    act.target = target;
    return ActionJournal().Begin(act);
}

void JournalActEnds(const std::string& id) { ActionJournal().End(id); }
