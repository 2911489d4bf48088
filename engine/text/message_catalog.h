// A compiled message catalog (the .mo files that msgfmt writes), read without the C library's
// gettext: the same reader serves Linux, where the catalog is a file under share/locale, and
// Windows, where it is a resource of the program and the C library has no gettext at all.
//
// Plain C++: no wx header.
#pragma once

#include <cstddef>
#include <map>
#include <string>

class MessageCatalog {
public:
    // Reads the bytes of a .mo file (either byte order). False, with the reason in *why, when
    // they are not one; the catalog is then empty.
    bool Parse(const std::string& bytes, std::string* why);

    // The translation of `original` in `context` ("" for none), or nullptr.
    const std::string* Find(const std::string& context, const std::string& original) const;

    // Every entry with a context: context -> (original, translation). The catalog's header
    // (original "") and entries without a context are left out.
    struct Entry {
        std::string original;
        std::string translation;
    };
    const std::map<std::string, Entry>& ByContext() const { return m_byContext; }

    std::size_t Size() const { return m_entries.size(); }

private:
    // Key: context, "\x04", original (the form gettext itself looks up).
    std::map<std::string, std::string> m_entries;
    std::map<std::string, Entry> m_byContext;
};

// The printf directives of `text`, in order, each as written ("%d", "%.2lf", "%ld"), and the
// framework's "%1" as "%1"; "%%" is none. Used to keep a translated format's arguments the same
// as the original's.
std::string FormatDirectives(const std::string& text);
