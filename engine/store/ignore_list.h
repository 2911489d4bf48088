// The groups the user told the program to leave out of its results: each kept by its content's
// identity as the group's heading shows it (size, CRC-32, checksum), so that a later search of
// the same bytes, wherever they lie then, lists them no more.
//
// Kept in one small JSON file beside the settings, written whole into a new file that then takes
// the old one's place, so a crash never leaves half a list. A file that is not such a list (cut
// short, edited by hand, of a newer version) is refused with the reason and left as it is: the
// list is then empty until the user changes it, and only that change writes the file anew.
//
// Plain C++: no wx header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ResultsModel;

struct GroupIdentity {
    std::int64_t size = 0;
    std::uint32_t crc = 0;
    std::uint32_t checksum = 0;
    bool operator==(const GroupIdentity& o) const {
        return size == o.size && crc == o.crc && checksum == o.checksum;
    }
    bool operator<(const GroupIdentity& o) const {
        if (size != o.size) return size < o.size;
        if (crc != o.crc) return crc < o.crc;
        return checksum < o.checksum;
    }
};

struct IgnoredGroup {
    GroupIdentity identity;
    std::string example;   // one file of the group when it was ignored, for the list's reader
    std::int64_t when = 0; // seconds since 1970 UTC when it was ignored
};

// The identity of group `g` of `model`: its first row's size, CRC and checksum.
GroupIdentity IdentityOfGroup(const ResultsModel& model, std::size_t g);

class IgnoreList {
public:
    // The list's file in `folder` ("" : a list that is never stored).
    static std::string FilePathIn(const std::string& folder);

    // Reads the list at `path`. A missing file is an empty list (true). A damaged one: false
    // with the reason in *error (may be null), an empty list, and the file kept until Save.
    bool Load(const std::string& path, std::string* error);
    // Writes the list to the path it was loaded from; false with the system's reason.
    bool Save(std::string* error) const;
    const std::string& Path() const { return m_path; }

    const std::vector<IgnoredGroup>& Groups() const { return m_groups; }
    bool Contains(const GroupIdentity& identity) const;
    // Adds `group` (false, changing nothing, when its identity is already there).
    bool Add(IgnoredGroup group);
    // Takes the group of `identity` back (false when it was not there).
    bool Remove(const GroupIdentity& identity);

    // Removes from `model` every group the list holds, in one pass; the number of groups
    // removed.
    std::size_t FilterResults(ResultsModel& model) const;

    // The document as Save writes it, and its reading (false with the reason; *out untouched).
    static std::string Format(const std::vector<IgnoredGroup>& groups);
    static bool Parse(const std::string& text, std::vector<IgnoredGroup>* out, std::string* error);

private:
    std::string m_path;
    std::vector<IgnoredGroup> m_groups;
};
