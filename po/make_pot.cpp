// Writes the message catalog template of the table of texts (engine/text/text_list.h): one entry per
// text, its name as msgctxt and its Chinese text as msgid, in the table's order.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "engine/text/string_table.h"

namespace {

// A C string literal of `text` as .po files write it, one line per "\n" of the text.
std::string Quote(const std::string& text) {
    std::string out = "\"";
    bool multiline = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
            if (i + 1 < text.size()) {
                out += "\"\n\"";
                multiline = true;
            }
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    out += '"';
    return multiline ? "\"\"\n" + out : out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_pot OUTPUT.pot\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << "# The texts of Pairscout, made from engine/text/text_list.h by make_pot.\n"
           "msgid \"\"\n"
           "msgstr \"\"\n"
           "\"Project-Id-Version: pairscout\\n\"\n"
           "\"MIME-Version: 1.0\\n\"\n"
           "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
           "\"Content-Transfer-Encoding: 8bit\\n\"\n";
    std::size_t count = 0;
    const StringTableEntry* table = StringTable(&count);
    for (std::size_t i = 0; i < count; ++i) {
        out << "\n#. id " << table[i].id << "\n"
            << "msgctxt \"" << table[i].name << "\"\n"
            << "msgid " << Quote(PortableStringText(i)) << "\n"
            << "msgstr \"\"\n";
    }
    out.close();
    if (!out) {
        std::cerr << "make_pot: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
