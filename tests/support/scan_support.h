// Scanning one start path spec in a test, and the paths of the records it yields.
#pragma once

#include <string>
#include <vector>

#include "engine/directory_scanner.h"
#include "support/recording_sink.h"

inline std::vector<std::string> Scan(const std::string& spec, const std::string& mask,
                                     const SearchFilter* filter = nullptr,
                                     RecordingSink* folders = nullptr,
                                     RecordingSink* counts = nullptr) {
    const std::vector<std::string> pathList = {spec, mask};
    RecordList records;
    CDirectoryScanner scanner(folders, nullptr);
    scanner.ScanPathList(records, pathList, mask, 1, filter, counts);
    std::vector<std::string> found;
    for (const auto& r : records) found.push_back(r->m_strPath);
    return found;
}
