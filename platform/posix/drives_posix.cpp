#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "platform/drives.h"

namespace platform {

namespace {

struct MountEntry {
    std::string source;
    std::string target;
    std::string type;
    std::string options;
};

// /proc/self/mounts writes blanks, tabs, newlines and backslashes in names as \ooo.
std::string DecodeMountField(const std::string& field) {
    std::string out;
    for (std::string::size_type i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
            field[i + 1] <= '3' && field[i + 2] >= '0' && field[i + 2] <= '7' &&
            field[i + 3] >= '0' && field[i + 3] <= '7') {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<MountEntry> ReadMountTableFromSystem() {
    std::vector<MountEntry> entries;
    std::ifstream in("/proc/self/mounts");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        MountEntry e;
        if (!(fields >> e.source >> e.target >> e.type)) continue;
        fields >> e.options;
        e.source = DecodeMountField(e.source);
        e.target = DecodeMountField(e.target);
        e.options = DecodeMountField(e.options);
        entries.push_back(e);
    }
    return entries;
}

struct MountTableData {
    std::vector<MountEntry> entries;
};

MountTableData ReadMountTable() {
    MountTableData data;
    data.entries = ReadMountTableFromSystem();
    return data;
}

// Per thread: two searches on two threads each read their own table.
thread_local std::unique_ptr<MountTableData> g_cachedTable;
thread_local int g_scopeDepth = 0;

// The cached reading inside a MountTableScope, else a fresh one kept in `fresh`.
const MountTableData& MountTable(MountTableData* fresh) {
    if (g_cachedTable != nullptr) return *g_cachedTable;
    *fresh = ReadMountTable();
    return *fresh;
}

std::string WithSeparator(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// The whole disk holding block device `dev`, as its /sys/dev/block link resolves.
bool IsRemovableBlockDevice(dev_t dev) {
    char link[64];
    std::snprintf(link, sizeof link, "/sys/dev/block/%u:%u", major(dev), minor(dev));
    char* resolved = realpath(link, nullptr);
    if (resolved == nullptr) return false;
    std::string disk = resolved;
    std::free(resolved);
    // A partition sits inside its disk's folder and has a "partition" file.
    if (access((disk + "/partition").c_str(), F_OK) == 0) disk = disk.substr(0, disk.rfind('/'));
    std::ifstream removable(disk + "/removable");
    int value = 0;
    return (removable >> value) && value != 0;
}

bool IsImageFileSystem(const std::string& type) {
    return type == "squashfs" || type == "iso9660" || type == "udf" || type == "erofs";
}

bool SameServer(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::string::size_type i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> LocalFixedDiskRoots() {
    std::vector<std::string> roots;
    std::set<dev_t> seen;
    MountTableData fresh;
    for (const MountEntry& e : MountTable(&fresh).entries) {
        if (e.source.compare(0, 5, "/dev/") != 0 || IsImageFileSystem(e.type)) continue;
        struct stat device, target;
        if (stat(e.source.c_str(), &device) != 0 || !S_ISBLK(device.st_mode)) continue;
        // Bind mounts of single files (as containers have) are no disk roots.
        if (stat(e.target.c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) continue;
        if (IsRemovableBlockDevice(device.st_rdev)) continue;
        // The same file system mounted twice (bind mounts) would be walked twice.
        if (!seen.insert(device.st_rdev).second) continue;
        roots.push_back(WithSeparator(e.target));
    }
    return roots;
}

bool ServerDiskShares(const std::string& server, std::vector<std::string>* shares) {
    shares->clear();
    if (server.empty()) return false;
    MountTableData fresh;
    for (const MountEntry& e : MountTable(&fresh).entries) {
        std::string host;
        if ((e.type == "cifs" || e.type == "smb3" || e.type == "smbfs") &&
            e.source.compare(0, 2, "//") == 0) {
            host = e.source.substr(2, e.source.find('/', 2) - 2);
        } else if ((e.type == "nfs" || e.type == "nfs4") && e.source.find(":/") != std::string::npos) {
            host = e.source.substr(0, e.source.find(":/"));
        } else {
            continue;
        }
        if (SameServer(host, server)) shares->push_back(WithSeparator(e.target));
    }
    return true;
}

namespace {

// The real path of `path` without a trailing separator ("/" stays); empty when it cannot be
// resolved.
std::string RealPath(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) return std::string();
    std::string out = real;
    std::free(real);
    return out;
}

// Whether `inner` is `outer` or lies inside it (both real paths).
bool Inside(const std::string& inner, const std::string& outer) {
    if (outer == "/") return true;
    return inner.compare(0, outer.size(), outer) == 0 &&
           (inner.size() == outer.size() || inner[outer.size()] == '/');
}

// The lower and upper folders of an overlay's options ("lowerdir=/a:/b,upperdir=/u,...").
std::vector<std::string> OverlayLayers(const std::string& options) {
    std::vector<std::string> layers;
    std::string::size_type start = 0;
    while (start <= options.size()) {
        std::string::size_type end = options.find(',', start);
        if (end == std::string::npos) end = options.size();
        const std::string option = options.substr(start, end - start);
        start = end + 1;
        std::string value;
        if (option.compare(0, 9, "lowerdir=") == 0) value = option.substr(9);
        else if (option.compare(0, 9, "upperdir=") == 0) value = option.substr(9);
        else continue;
        std::string::size_type from = 0;
        while (from <= value.size()) {
            std::string::size_type colon = value.find(':', from);
            if (colon == std::string::npos) colon = value.size();
            if (colon > from) layers.push_back(value.substr(from, colon - from));
            from = colon + 1;
        }
    }
    return layers;
}

}  // namespace

bool IsStackedOverSearched(const std::string& folder, const std::vector<std::string>& roots) {
    MountTableData fresh;
    const MountTableData& table = MountTable(&fresh);
    if (std::none_of(table.entries.begin(), table.entries.end(),
                     [](const MountEntry& e) { return e.type == "overlay"; }))
        return false;
    const std::string real = RealPath(folder);
    if (real.empty()) return false;
    std::vector<std::string> layers;
    for (const MountEntry& e : table.entries)
        if (e.type == "overlay" && RealPath(e.target) == real) layers = OverlayLayers(e.options);
    if (layers.empty()) return false;
    for (const std::string& root : roots) {
        // Any overlap counts, whichever start path holds the mount point.
        const std::string realRoot = RealPath(root);
        for (const std::string& layer : layers) {
            const std::string realLayer = RealPath(layer);
            if (!realRoot.empty() && !realLayer.empty() &&
                (Inside(realLayer, realRoot) || Inside(realRoot, realLayer)))
                return true;
        }
    }
    return false;
}

MountTableScope::MountTableScope() {
    if (g_scopeDepth++ == 0) g_cachedTable.reset(new MountTableData(ReadMountTable()));
}

MountTableScope::~MountTableScope() {
    if (--g_scopeDepth == 0) {
        g_cachedTable.reset();
    }
}

}  // namespace platform
