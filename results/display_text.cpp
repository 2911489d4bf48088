#include "results/display_text.h"

#include "engine/text_helpers.h"

std::string ShownUtf8(const std::string& bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8SequenceLength(bytes, at);
        if (length == 0) {
            shown += "\xEF\xBF\xBD";
            ++at;
        } else {
            shown.append(bytes, at, length);
            at += length;
        }
    }
    return shown;
}
