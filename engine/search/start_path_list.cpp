#include "engine/search/start_path_list.h"

#include "engine/text/string_table.h"
#include "engine/text/text_helpers.h"
#include "platform/error_text.h"
#include "platform/file_find.h"

namespace {

// The blanks TrimBlanks removes.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool NeedsQuotes(const std::string& item) {
    return item.find(';') != std::string::npos || (!item.empty() && item[0] == '"') ||
           (!item.empty() && (IsBlank(item.front()) || IsBlank(item.back())));
}

std::string Quoted(const std::string& item) {
    std::string out = "\"";
    for (char c : item) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

// Reads a quoted piece starting at text[pos] == '"'. On success `item` holds it and `pos` is
// just past the closing quote; false when the quote is never closed.
bool ReadQuoted(const std::string& text, std::string::size_type& pos, std::string& item) {
    item.clear();
    for (std::string::size_type i = pos + 1; i < text.size(); ++i) {
        if (text[i] != '"') {
            item += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            item += '"';
            ++i;
        } else {
            pos = i + 1;
            return true;
        }
    }
    return false;
}

}  // namespace

std::string StartPathText(const std::vector<std::string>& paths) {
    std::string text;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (i > 0) text += ';';
        const bool lastEmpty = paths[i].empty() && i + 1 == paths.size() && i > 0;
        text += NeedsQuotes(paths[i]) || lastEmpty ? Quoted(paths[i]) : paths[i];
    }
    return text;
}

std::vector<std::string> ReadStartPathText(const std::string& text) {
    struct Piece {
        std::string text;
        bool quoted;
    };
    std::vector<Piece> pieces;
    std::string::size_type pos = 0;
    while (pos < text.size()) {
        std::string item;
        std::string::size_type end = pos;
        if (text[pos] == '"' && ReadQuoted(text, end, item)) {
            // Whatever stands between the closing quote and the next ";" belongs to the item.
            const std::string::size_type semi = text.find(';', end);
            std::string rest = text.substr(end, semi == std::string::npos ? std::string::npos
                                                                           : semi - end);
            TrimBlanks(rest);
            pieces.push_back({item + rest, true});
            if (semi == std::string::npos) break;
            pos = semi + 1;
            continue;
        }
        const std::string::size_type semi = text.find(';', pos);
        if (semi == std::string::npos) {
            pieces.push_back({text.substr(pos), false});
            break;
        }
        pieces.push_back({text.substr(pos, semi - pos), false});
        pos = semi + 1;
    }
    std::vector<std::string> out;
    out.reserve(pieces.size());
    for (Piece& piece : pieces) {
        if (pieces.size() > 1 && !piece.quoted) TrimBlanks(piece.text);
        out.push_back(std::move(piece.text));
    }
    return out;
}

std::vector<std::string> SplitStartPathList(const std::string& text) {
    std::vector<std::string> elements, out;
    SplitString(text, elements, ";");
    for (std::string& element : elements) {
        TrimBlanks(element);
        if (!element.empty()) out.push_back(std::move(element));
    }
    return out;
}

bool IsSearchableFolder(const std::string& path, std::string* why) {
    const std::uint32_t attributes = platform::GetFileAttributes(path);
    if (attributes == platform::kInvalidFileAttributes) {
        *why = platform::ErrorText(platform::LastErrorCode());
        return false;
    }
    if ((attributes & platform::kAttrDirectory) == 0) {
        *why = LoadStringText(IDS_PATH_NOT_A_FOLDER);
        return false;
    }
    return true;
}
