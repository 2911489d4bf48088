#include "support/temp_dir.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/file_find.h"

namespace fs = std::filesystem;

namespace {

// One level at a time: the library's create_directories gives up on very long paths.
void MakeDirs(const std::string& path) {
    for (std::string::size_type pos = 1; pos <= path.size(); ++pos) {
        if (pos < path.size() && path[pos] != '/' && path[pos] != platform::kPathSeparator)
            continue;
        std::error_code ec;
        fs::create_directory(fs::path(path.substr(0, pos)), ec);
    }
    if (!fs::is_directory(fs::path(path))) throw std::runtime_error("cannot make " + path);
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
            m_path = candidate.string();
            if (m_path.back() != platform::kPathSeparator) m_path += platform::kPathSeparator;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    // Give back write permission first so that folders a test locked can be removed.
    for (auto it = fs::recursive_directory_iterator(m_path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(m_path, ec);
}

std::string TempDir::WriteFile(const std::string& relative, const std::string& contents) const {
    const fs::path full = fs::path(m_path + relative);
    if (full.has_parent_path()) MakeDirs(full.parent_path().string());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) throw std::runtime_error("cannot write " + full.string());
    return full.string();
}

std::string TempDir::MakeDir(const std::string& relative) const {
    MakeDirs(m_path + relative);
    std::string dir = m_path + relative;
    if (dir.back() != platform::kPathSeparator) dir += platform::kPathSeparator;
    return dir;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}
