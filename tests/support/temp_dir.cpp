#include "support/temp_dir.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/file_find.h"

#ifdef _WIN32
#include "platform/win32/win32.h"
#endif

namespace fs = std::filesystem;

namespace {

// Paths are the program's UTF-8 (WTF-8 on Windows, converted as the platform layer converts
// them); the library's own narrow conversion on Windows is the code page's.
fs::path Native(const std::string& path) {
#ifdef _WIN32
    return fs::path(platform::Wide(path));
#else
    return fs::path(path);
#endif
}

std::string Narrow(const fs::path& path) {
#ifdef _WIN32
    return platform::Narrow(path.native());
#else
    return path.string();
#endif
}

// One level at a time: the library's create_directories gives up on very long paths.
void MakeDirs(const std::string& path) {
    for (std::string::size_type pos = 1; pos <= path.size(); ++pos) {
        if (pos < path.size() && path[pos] != '/' && path[pos] != platform::kPathSeparator)
            continue;
        std::error_code ec;
        fs::create_directory(Native(path.substr(0, pos)), ec);
    }
    if (!fs::is_directory(Native(path))) throw std::runtime_error("cannot make " + path);
}

}  // namespace

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ostringstream name;
        name << "pairscout-test-" << rd() << "-" << counter++;
        const fs::path candidate = base / name.str();
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            m_path = Narrow(candidate);
            if (m_path.back() != platform::kPathSeparator) m_path += platform::kPathSeparator;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    // Give back write permission first so that folders a test locked can be removed.
    for (auto it = fs::recursive_directory_iterator(Native(m_path), ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(Native(m_path), ec);
}

std::string TempDir::WriteFile(const std::string& relative, const std::string& contents) const {
    const fs::path full = Native(m_path + relative);
    if (full.has_parent_path()) MakeDirs(Narrow(full.parent_path()));
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) throw std::runtime_error("cannot write " + Narrow(full));
    return Narrow(full);
}

std::string TempDir::MakeDir(const std::string& relative) const {
    MakeDirs(m_path + relative);
    std::string dir = m_path + relative;
    if (dir.back() != platform::kPathSeparator) dir += platform::kPathSeparator;
    return dir;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(Native(path), std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}
