// Scans the start paths given on the command line with "*.*" and prints the record count.
#include <cstdio>

#include "engine/search/directory_scanner.h"

int main(int argc, char** argv) {
    const std::vector<std::string> paths(argv + 1, argv + argc);
    RecordList records;
    CDirectoryScanner scanner(nullptr);
    std::printf("%d\n", scanner.ScanPathList(records, paths, "*.*", nullptr));
    return 0;
}
