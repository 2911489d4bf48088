#include <memory>

#include "platform/drives.h"
#include "platform/win32/win32.h"

#include <winnetwk.h>

namespace platform {

std::vector<std::string> LocalFixedDiskRoots() {
    std::vector<std::string> roots;
    const DWORD drives = ::GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if ((drives & (1u << bit)) == 0) continue;
        const std::string root = std::string(1, static_cast<char>('A' + bit)) + ":\\";
        if (::GetDriveTypeW(Wide(root).c_str()) == DRIVE_FIXED) roots.push_back(root);
    }
    return roots;
}

bool ServerDiskShares(const std::string& server, std::vector<std::string>* shares) {
    shares->clear();
    std::wstring remote = L"\\\\" + Wide(server);
    NETRESOURCEW nr = {};
    nr.dwScope = RESOURCE_GLOBALNET;
    nr.dwType = RESOURCETYPE_DISK;
    nr.dwUsage = RESOURCEUSAGE_CONTAINER;
    nr.lpRemoteName = &remote[0];
    HANDLE h = nullptr;
    if (::WNetOpenEnumW(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, &nr, &h) != NO_ERROR) return false;
    // Entries carry their strings behind them in the same buffer.
    std::unique_ptr<char[]> buffer(new char[16384]());
    for (;;) {
        DWORD count = 1;
        DWORD size = 16384;
        if (::WNetEnumResourceW(h, &count, buffer.get(), &size) != NO_ERROR) break;
        const NETRESOURCEW* entry = reinterpret_cast<const NETRESOURCEW*>(buffer.get());
        if (count == 1 && entry->dwType == RESOURCETYPE_DISK && entry->lpRemoteName != nullptr)
            shares->push_back(Narrow(entry->lpRemoteName));
    }
    return ::WNetCloseEnum(h) == NO_ERROR;
}


bool IsStackedOverSearched(const std::string&, const std::vector<std::string>&) { return false; }

MountTableScope::MountTableScope() {}
MountTableScope::~MountTableScope() {}

}  // namespace platform
