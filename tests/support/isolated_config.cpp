// Every test program keeps the program's own files (settings, the action journal, the cache) in a folder
// of its own, never in the user's: tests that want another point XDG_CONFIG_HOME elsewhere.
#include <cstdlib>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <unistd.h>

namespace {

struct IsolatedConfig {
    std::string folder;
    IsolatedConfig() {
        char name[] = "/tmp/pairscout-tests-config-XXXXXX";
        if (mkdtemp(name) == nullptr) return;
        folder = name;
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        // The cache of earlier searches too: never the user's.
        setenv("XDG_CACHE_HOME", (folder + "/cache").c_str(), 1);
    }
    ~IsolatedConfig() {
        std::error_code error;
        if (!folder.empty()) std::filesystem::remove_all(folder, error);
    }
};

const IsolatedConfig g_isolatedConfig;

}  // namespace
#endif
