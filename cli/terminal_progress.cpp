#include "cli/terminal_progress.h"

void TerminalProgress::SetStatus(const std::string& text) {
    m_status = text;
    Draw(false);
}

void TerminalProgress::SetTotal(std::int64_t total) {
    m_total = total;
    m_done = 0;
    Draw(true);
}

void TerminalProgress::StepProgress(std::int64_t amount) {
    m_done += amount;
    Draw(false);
}

void TerminalProgress::Skipped(SkipKind kind, const std::string& path, const std::string& reason) {
    Clear();
    std::fprintf(m_out, "pairscout-cli: %s: %s\n", path.c_str(), reason.c_str());
    if (kind == SkipKind::kFile) ++m_nSkipped;
}

void TerminalProgress::Draw(bool force) {
    if (!m_drawLine) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && m_drawn && now - m_lastDraw < std::chrono::milliseconds(100)) return;
    m_lastDraw = now;
    m_drawn = true;
    // Long folder names would wrap and break the redraw in place: show their end.
    std::string status = m_status;
    if (status.size() > 100) status = "..." + status.substr(status.size() - 97);
    if (m_total > 0)
        std::fprintf(m_out, "\r%3d%% %s\033[K", static_cast<int>(m_done * 100 / m_total),
                     status.c_str());
    else
        std::fprintf(m_out, "\r%s\033[K", status.c_str());
    std::fflush(m_out);
}

void TerminalProgress::Clear() {
    if (!m_drawn) return;
    std::fprintf(m_out, "\r\033[K");
    std::fflush(m_out);
    m_drawn = false;
}
