// Strings of the string table as wxString, for display (formats: Utf8ToWx(FormatX(...)) with the
// typed formatters of engine/text/text_format.h). Texts are UTF-8 bytes everywhere else;
// they become wxString only where a window shows them.
#pragma once

#include <string>

#include <wx/string.h>

#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "platform/wide_text.h"

// UTF-8 bytes as wxString. Bytes that are not valid UTF-8 (a file name of another encoding)
// are shown as replacement characters instead of making the whole text empty.
inline wxString Utf8ToWx(const std::string& bytes) {
    wxString text = wxString::FromUTF8(bytes.data(), bytes.size());
#ifdef __WINDOWS__
    // A Windows name that is no valid UTF-16 (a lone surrogate) is shown as the system holds
    // it: wxString is UTF-16 there, and the platform's conversion keeps every unit.
    if (text.empty() && !bytes.empty()) {
        const std::u16string units = platform::Utf16FromUtf8(bytes);
        return wxString(std::wstring(units.begin(), units.end()));
    }
#endif
    if (text.empty() && !bytes.empty()) {
        text = wxString(bytes.data(), wxConvUTF8, bytes.size());
        if (text.empty()) {
            for (unsigned char c : bytes) text += c < 0x80 ? wxUniChar(c) : wxUniChar(0xFFFD);
        }
    }
    return text;
}

// wxString as UTF-8 bytes.
inline std::string WxToUtf8(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

// String `id` of the string table ("" when there is none).
inline wxString LoadWxString(int id) { return wxString::FromUTF8(LoadStringText(id)); }

// The status-bar prompt and the tooltip of command `id`.
inline wxString LoadWxPrompt(int id) { return Utf8ToWx(LoadPromptText(id)); }
inline wxString LoadWxTooltip(int id) { return Utf8ToWx(LoadTooltipText(id)); }
