// Scanning start paths in a test, and the paths of the records it yields.
#pragma once

#include <string>
#include <vector>

#include "engine/search/directory_scanner.h"
#include "support/recording_sink.h"

inline std::vector<std::string> Scan(const std::vector<std::string>& specs,
                                     const std::string& mask, const SearchFilter* filter = nullptr,
                                     RecordingSink* sink = nullptr) {
    RecordList records;
    CDirectoryScanner scanner(sink);
    scanner.ScanPathList(records, specs, mask, filter);
    std::vector<std::string> found;
    for (const auto& r : records) found.push_back(r->Path());
    return found;
}

inline std::vector<std::string> Scan(const std::string& spec, const std::string& mask,
                                     const SearchFilter* filter = nullptr,
                                     RecordingSink* sink = nullptr) {
    return Scan(std::vector<std::string>{spec}, mask, filter, sink);
}
