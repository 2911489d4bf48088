#include "engine/progress_sink.h"

#include <cstdio>

#include "engine/engine_strings.h"

std::string FoundFilesText(int files, int folders) {
    char text[256];
    std::snprintf(text, sizeof text, LoadStringText(IDS_FOUND_FILES_IN_FOLDERS), files, folders);
    return text;
}

std::string DuplicatesRunningText(int count, std::int64_t bytes) {
    char text[256];
    std::snprintf(text, sizeof text, LoadStringText(IDS_DUPLICATES_RUNNING), count, bytes);
    return text;
}
