#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/disk_space.h"
#include "platform/memory_status.h"

namespace {

TEST(SystemFigures, FreeDiskSpaceOfTheCurrentFolder) {
    std::uint64_t bytes = 0;
    ASSERT_TRUE(platform::FreeDiskSpaceOfCurrentFolder(&bytes));
    // The same figure as the standard library reads, give or take what others write meanwhile.
    std::error_code ec;
    const auto space = std::filesystem::space(".", ec);
    ASSERT_FALSE(ec);
    const std::uint64_t other = space.available;
    const std::uint64_t slack = 256u << 20;
    EXPECT_LE(bytes, other + slack);
    EXPECT_GE(bytes + slack, other);
}

TEST(SystemFigures, PhysicalMemory) {
    const std::uint64_t bytes = platform::PhysicalMemoryBytes();
    EXPECT_GE(bytes, std::uint64_t(64) << 20);
#ifndef _WIN32
    // The kernel's own count, in kB.
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kb = 0;
    while (meminfo >> key && key != "MemTotal:") meminfo.ignore(256, '\n');
    ASSERT_TRUE(meminfo >> kb);
    EXPECT_EQ(bytes / 1024, kb);
#endif
}

TEST(SystemFigures, AvailableMemoryIsPartOfThePhysicalMemory) {
    const std::uint64_t available = platform::AvailableMemoryBytes();
    const std::uint64_t physical = platform::PhysicalMemoryBytes();
    EXPECT_GT(available, 0u);
    // What the running system uses itself is never available.
    EXPECT_LT(available, physical);
}

}  // namespace
