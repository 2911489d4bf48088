// Scans the start paths given on the command line with "*.*" and prints the record count.
#include <cstdio>

#include "engine/directory_scanner.h"

int main(int argc, char** argv) {
    std::vector<std::string> pathList;
    for (int i = 1; i < argc; ++i) {
        pathList.push_back(argv[i]);
        pathList.push_back("*.*");
    }
    RecordList records;
    CDirectoryScanner scanner(nullptr, nullptr);
    std::printf("%d\n", scanner.ScanPathList(records, pathList, "*.*", 1, nullptr, nullptr));
    return 0;
}
