// The working copy of the include/exclude editor: the list of mask pieces, the selected one,
// and the values of the controls that describe a piece (include or exclude, the file pattern,
// the folder part). Decoding a piece into those values and encoding them back are the editor's
// whole logic; the dialog only shows this class. Plain code, tested without a display.
//
// Pieces are written with the platform's folder separator ("/" here, "\" on Windows):
// "*.txt", "~*.tmp", "/temp/*.log" (a folder temp directly below the start folder),
// "/*/temp/*/*.log" (at any depth, and its subfolders), "/*.txt" (the start folder only).
#pragma once

#include <string>
#include <vector>

class MaskEntries {
public:
    // The text of a freshly added entry; it counts as empty and is never written out.
    static const char kPlaceholder[];

    // The values the controls show. -1 in m_nKind or m_nDirMode: no radio button checked.
    struct Fields {
        int m_nDirMode = -1;   // 0 all folders, 1 use the folder match
        int m_nKind = -1;      // 0 include, 1 exclude
        int m_bAnyLevel = 0;   // the folder at any depth below the start folder
        std::string m_strDirMatch;
        std::string m_strFileMatch;
        int m_bSubfolders = 0; // the folder's subfolders too
    };

    // Fills the list from mask text: every piece before a ";" is an entry, even an empty one;
    // the text after the last ";" only when it is not empty. Selects and shows the first entry.
    void FillList(const std::string& mask);

    // The mask text: every entry but the placeholder, in list order, joined by ";".
    std::string BuildMaskString() const;

    // Shows the selected entry (empty values when nothing is selected) in the fields.
    void LoadEntry();
    // Writes the fields into the selected entry. When they describe nothing the entry is
    // removed as Delete removes it; returns true then.
    bool StoreEntry();

    // The user selected entry `index`: the fields are stored into the entry they belong to
    // first (which may remove it), then the entry is shown.
    void SelectionChanged(int index);
    // A new entry from the current fields, at the end or before the selected entry; removed
    // again at once when the fields describe nothing.
    void Add();
    void Insert();
    // Removes the selected entry and shows the one now at its place (or the new last one).
    void Delete();
    // Stores the fields, then moves the selected entry one place up or down.
    void Up();
    void Down();
    // Stores the fields and shows the entry as stored (normalised).
    void Apply();
    // The folder match text was edited: the folder radio follows whether it is empty.
    void DirMatchChanged(const std::string& text);

    // The piece the fields describe (without the placeholder rule).
    std::string EncodeFields() const;

    // Which buttons may be used now.
    bool CanDelete() const { return m_nSel >= 0; }
    bool CanApply() const { return m_nSel >= 0; }
    bool CanMoveUp() const { return m_nSel > 0; }
    bool CanMoveDown() const { return m_nSel >= 0 && m_nSel + 1 < Count(); }

    const std::vector<std::string>& Entries() const { return m_entries; }
    int Count() const { return static_cast<int>(m_entries.size()); }
    int Selection() const { return m_nSel; }
    // The entry the fields belong to (-1 for none).
    int CurrentEntry() const { return m_nCurSel; }

    Fields m_fields;

private:
    void Select(int index) { m_nSel = (index >= 0 && index < Count()) ? index : -1; }
    void RemoveSelected();
    void AddAt(int index);

    std::vector<std::string> m_entries;
    int m_nSel = -1;
    int m_nCurSel = -1;
};
