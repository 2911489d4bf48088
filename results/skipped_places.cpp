#include "results/skipped_places.h"

#include <algorithm>

#include "engine/text/string_table.h"
#include "engine/text/text_format.h"

namespace {

std::size_t KindIndex(SkipKind kind) {
    switch (kind) {
        case SkipKind::kStartPath: return 0;
        case SkipKind::kFolder: return 1;
        case SkipKind::kFile: return 2;
        case SkipKind::kCache: return 3;
    }
    return 2;
}

}  // namespace

void SkippedPlaces::SetStatus(const std::string& text) {
    if (m_pNext != nullptr) m_pNext->SetStatus(text);
}

void SkippedPlaces::FilesLooked(std::int64_t files, std::int64_t of, std::int64_t bytes) {
    if (m_pNext != nullptr) m_pNext->FilesLooked(files, of, bytes);
}

void SkippedPlaces::Detail(const std::string& line) {
    if (m_pNext != nullptr) m_pNext->Detail(line);
}

void SkippedPlaces::SetTotal(std::int64_t total) {
    if (m_pNext != nullptr) m_pNext->SetTotal(total);
}

void SkippedPlaces::StepProgress(std::int64_t amount) {
    if (m_pNext != nullptr) m_pNext->StepProgress(amount);
}

void SkippedPlaces::FilesFound(int files, int folders) {
    if (m_pNext != nullptr) m_pNext->FilesFound(files, folders);
}

void SkippedPlaces::DuplicatesFound(int count, std::int64_t bytes) {
    if (m_pNext != nullptr) m_pNext->DuplicatesFound(count, bytes);
}

bool SkippedPlaces::Cancelled() { return m_pNext != nullptr && m_pNext->Cancelled(); }

void SkippedPlaces::Skipped(SkipKind kind, const std::string& path, const std::string& reason) {
    std::vector<Place>& places = m_places[KindIndex(kind)];
    // A place reached twice (start paths that overlap) is named once; only the places kept
    // for the message can be told apart, the others are counted.
    const bool known = std::any_of(places.begin(), places.end(), [&](const Place& place) {
        return place.path == path && place.reason == reason;
    });
    if (!known) {
        ++m_nCount;
        if (places.size() < kShown) places.push_back({path, reason});
    }
    if (m_pNext != nullptr) m_pNext->Skipped(kind, path, reason);
}

std::string SkippedPlaces::Message(std::size_t maxLines) const {
    if (m_nCount == 0) return std::string();
    std::string text = LoadStringText(IDS_SKIPPED_HEADING);
    text += "\n";
    std::size_t shown = 0;
    for (const std::vector<Place>& places : m_places) {
        for (const Place& place : places) {
            if (shown == maxLines) break;
            text += "\n" + place.path + ": " + place.reason;
            ++shown;
        }
    }
    if (m_nCount > shown) {
        text += "\n";
        text += FormatSkippedMore(static_cast<int>(m_nCount - shown));
    }
    return text;
}
