// The start paths of the Paths page as a list with one selected item: the list control shows
// it, the page's buttons change it. Plain code, tested without a display.
#pragma once

#include <string>
#include <vector>

class PathsList {
public:
    // Fills the list with `paths`, one item each (empty ones too). The last item is selected
    // (none when the list is empty).
    void Load(const std::vector<std::string>& paths);

    const std::vector<std::string>& Items() const { return m_items; }
    int Count() const { return static_cast<int>(m_items.size()); }

    // The selected item's index, or -1.
    int Selection() const { return m_nSelected; }
    // Selects item `index`; any index outside the list clears the selection.
    void Select(int index);
    // The selected item's text, or "" when nothing is selected.
    std::string SelectedText() const;

    // Adds a folder the picker returned at the end (followed by a separator unless it is empty
    // or has one already); the selection stays. Duplicates are allowed.
    void Append(const std::string& chosen);
    // A start path typed by the user, as the list keeps it: the keyword "本地硬盘" and a server
    // (two separators, a name and at most one more separator: "//server", "//server/share")
    // as they stand, a folder with a separator at its
    // end; blanks around it go. "" when it cannot be searched, with `why` set: empty, or a
    // folder that does not exist (the system's words) or is not a folder.
    static std::string CheckTyped(const std::string& typed, std::string* why);
    // Adds a typed start path checked by CheckTyped at the end and selects it. False (with
    // `why`) when it is refused; the list stays as it was.
    bool AppendTyped(const std::string& typed, std::string* why);

    // Replaces item `index` by a start path the user changed in place, checked by CheckTyped,
    // and selects it. False (with `why`; "" for an index outside the list) when it is refused;
    // the list stays as it was.
    bool ReplaceTyped(int index, const std::string& typed, std::string* why);

    // Replaces the selected item by `chosen`, normalised as Append does. False when nothing is
    // selected.
    bool ReplaceSelected(const std::string& chosen);
    // Removes the selected item and selects the one now at its place, or the new last item
    // when it was the last. False when nothing is selected.
    bool DeleteSelected();

private:
    std::vector<std::string> m_items;
    int m_nSelected = -1;
};
