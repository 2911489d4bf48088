#include "cli/terminal_progress.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/text/text_format.h"
#include "engine/text/text_helpers.h"

namespace {

// The length of the character at text[i] when it is text, 0 for a control (and, in UTF-8, for
// a C1 control or a byte that starts no well-formed character).
std::size_t CharacterLength(const std::string& text, std::size_t i, bool utf8) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    if (c >= 0x20 && c < 0x7F) return 1;
    if (!utf8 || c < 0x80) return c >= 0x80 ? 1 : 0;
    // U+0080..U+009F (C2 80..C2 9F) are controls.
    if (c == 0xC2 && i + 1 < text.size() && byte(i + 1) < 0xA0) return 0;
    return Utf8SequenceLength(text, i);
}

// The code point of a well-formed character of `len` bytes.
std::uint32_t CodePoint(const std::string& text, std::size_t i, std::size_t len) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    if (len == 1) return byte(i);
    std::uint32_t cp = byte(i) & (0x7F >> len);
    for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (byte(i + k) & 0x3F);
    return cp;
}

// Columns a terminal gives the character: two for the wide East Asian ranges.
int Columns(std::uint32_t cp) {
    const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                      (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                      (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                      (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
    return wide ? 2 : 1;
}

}  // namespace

std::string EscapeControls(const std::string& text, bool utf8) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = CharacterLength(text, i, utf8);
        // The marks that turn the direction of what follows (U+202A-U+202E, U+2066-U+2069)
        // would show a name other than it is: escaped like a control.
        if (len == 3) {
            const std::uint32_t cp = CodePoint(text, i, len);
            if ((cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069)) {
                for (std::size_t k = 0; k < len; ++k) {
                    const auto b = static_cast<unsigned char>(text[i + k]);
                    out += "\\x";
                    out += kHex[b >> 4];
                    out += kHex[b & 0xF];
                }
                i += len;
                continue;
            }
        }
        if (len > 0) {
            out.append(text, i, len);
            i += len;
            continue;
        }
        // A control or a stray byte: each byte of it as \xNN. A C1 control is two bytes.
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t bytes =
            (utf8 && c == 0xC2 && i + 1 < text.size() &&
             static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
             static_cast<unsigned char>(text[i + 1]) <= 0x9F)
                ? 2
                : 1;
        for (std::size_t k = 0; k < bytes; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        }
        i += bytes;
    }
    return out;
}

std::string TerminalProgress::LineText(const std::string& status, int percent, int columns,
                                      bool utf8) {
    std::string prefix;
    if (percent >= 0) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%3d%% ", percent);
        prefix = buf;
    }
    const std::string escaped = EscapeControls(status, utf8);
    // Characters with their widths; the escaped text holds no controls.
    std::vector<std::pair<std::size_t, int>> chars;  // start, columns
    int total = 0;
    for (std::size_t i = 0; i < escaped.size();) {
        std::size_t len = CharacterLength(escaped, i, utf8);
        if (len == 0) len = 1;  // cannot happen after escaping; keeps the loop moving
        const int w = utf8 ? Columns(CodePoint(escaped, i, len)) : 1;
        chars.emplace_back(i, w);
        total += w;
        i += len;
    }
    // The line must not wrap, or the carriage return would not bring it back to its start.
    const int room = std::max(columns - 1 - static_cast<int>(prefix.size()), 4);
    if (total <= room) return prefix + escaped;
    // Show the end of long folder names, where they differ.
    int used = 3;  // "..."
    std::size_t from = chars.size();
    while (from > 0 && used + chars[from - 1].second <= room) used += chars[--from].second;
    const std::size_t start = from < chars.size() ? chars[from].first : escaped.size();
    return prefix + "..." + escaped.substr(start);
}

void TerminalProgress::SetStatus(const std::string& text) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_status = text;
    m_shows = Shows::kText;
    Draw(false);
}

void TerminalProgress::FilesFound(int files, int folders) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_shows = Shows::kFiles;
    m_count = files;
    m_ofWhat = folders;
    Draw(false);
}

void TerminalProgress::DuplicatesFound(int count, std::int64_t bytes) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_shows = Shows::kDuplicates;
    m_count = count;
    m_ofWhat = bytes;
    Draw(false);
}

void TerminalProgress::SetTotal(std::int64_t total) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_total = total;
    m_done = 0;
    Draw(true);
}

void TerminalProgress::StepProgress(std::int64_t amount) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_done += amount;
    Draw(false);
}

void TerminalProgress::WriteLine(const std::string& text) {
    std::lock_guard<std::mutex> hold(m_lock);
    ClearLocked();
    // One write of the whole line, so that no other output lands inside it.
    platform::WriteStandardText(m_out, "pairscout-cli: " + text + "\n");
    std::fflush(m_out);
}

void TerminalProgress::Skipped(SkipKind kind, const std::string& path, const std::string& reason) {
    WriteLine(EscapeControls(path) + ": " + EscapeControls(reason));
    if (kind == SkipKind::kFile) ++m_nSkipped;
}

void TerminalProgress::Detail(const std::string& line) {
    if (m_verbose) WriteLine(EscapeControls(line));
}

void TerminalProgress::Draw(bool force) {
    if (!m_drawLine) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && m_drawn && now - m_lastDraw < std::chrono::milliseconds(100)) return;
    m_lastDraw = now;
    m_drawn = true;
    const int percent = m_total > 0 ? static_cast<int>(m_done * 100 / m_total) : -1;
    const std::string status =
        m_shows == Shows::kFiles        ? FormatFoundFilesInFolders(static_cast<int>(m_count), static_cast<int>(m_ofWhat))
        : m_shows == Shows::kDuplicates ? FormatDuplicatesRunning(static_cast<int>(m_count), m_ofWhat)
                                        : m_status;
    const std::string line = "\r" + LineText(status, percent, m_columns) + "\033[K";
    platform::WriteStandardText(m_out, line);
    std::fflush(m_out);
}

void TerminalProgress::Clear() {
    std::lock_guard<std::mutex> hold(m_lock);
    ClearLocked();
}

void TerminalProgress::ClearLocked() {
    if (!m_drawn) return;
    platform::WriteStandardText(m_out, "\r\033[K");
    std::fflush(m_out);
    m_drawn = false;
}
