// The text side of the path pickers: which element of a ";" list the folder picker edits, the
// folder it opens on, and where a file name is split into its folder and its name. Plain code,
// so that the rules are tested without a display.
#pragma once

#include <string>

class PathPickerText {
public:
    // The text to edit. Without ";" the whole text is the path. With ";" the path is the
    // element after the last ";" and the elements before it are kept as the list prefix; a
    // text ending in ";" edits its last element, which stays in the prefix as well (the choice
    // is then added after it).
    void SetPath(const std::string& text);
    // One path to edit, a ";" in it being part of a name (an item of the Paths page).
    void SetSinglePath(const std::string& path) {
        m_strListPrefix.clear();
        m_strPath = path;
    }

    // The edited path, preceded by the list prefix and ";" when there is a prefix.
    std::string GetPath() const;

    // The path being edited (the picker's choice once one was made).
    const std::string& Path() const { return m_strPath; }
    const std::string& ListPrefix() const { return m_strListPrefix; }

    // The folder the picker opens on: the edited path without its trailing separator, except
    // for a root ("/" here, "C:\" on Windows), which is kept whole. Empty: the picker's default.
    std::string InitialFolder() const;

    // The folder the chooser is opened on: ExistingFolderOrHome(InitialFolder(), home). A
    // chooser given no folder, or one that is not there (本地硬盘, a server, a folder since
    // removed), opens on the desktop's recent files, where a typed path is not taken.
    std::string StartFolder(const std::string& home) const;

    // The folder the user chose, as the picker returns it.
    void SetChosen(const std::string& folder) { m_strPath = folder; }

private:
    std::string m_strPath;
    std::string m_strListPrefix;
};

// `path` followed by the folder separator, unless it is empty or already ends in one.
std::string FolderWithSeparator(const std::string& path);

// `folder` when it is a folder, else the nearest folder above it that is other than the root,
// else `home` (also for an empty or relative `folder`).
std::string ExistingFolderOrHome(const std::string& folder, const std::string& home);

// Splits `fileName` after its last folder separator: `folder` gets the text up to and
// including it, `name` the rest. Without a separator `folder` is empty and `name` all of it.
void SplitAtLastSeparator(const std::string& fileName, std::string* folder, std::string* name);
