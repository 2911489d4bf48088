// The kind of a device's disk, as a block device folder tells it: a whole disk by its own queue,
// a partition by its disk's (and named after it), anything else (no such device, an unreadable answer) as unknown.
#include <gtest/gtest.h>

#include "platform/disk_kind.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <unistd.h>

namespace {

TEST(DiskKind, ToldByTheBlockDeviceFolder) {
    TempDir sys;
    // sda: a spinning disk with a partition; nvme0n1: solid-state; odd: an unreadable answer.
    sys.WriteFile("devices/pci/block/sda/queue/rotational", "1\n");
    sys.WriteFile("devices/pci/block/sda/sda2/partition", "2\n");
    sys.WriteFile("devices/pci/block/nvme0n1/queue/rotational", "0\n");
    sys.WriteFile("devices/virtual/block/odd/queue/rotational", "spinning\n");
    sys.WriteFile("devices/virtual/block/zram0/size", "0\n");
    sys.MakeDir("dev/block");
    const auto link = [&](const std::string& target, const std::string& name) {
        ASSERT_EQ(symlink(target.c_str(), (sys / ("dev/block/" + name)).c_str()), 0) << name;
    };
    link("../../devices/pci/block/sda", "8:0");
    link("../../devices/pci/block/sda/sda2", "8:2");
    link("../../devices/pci/block/nvme0n1", "259:0");
    link("../../devices/virtual/block/odd", "7:0");
    link("../../devices/virtual/block/zram0", "253:0");
    const std::string root = sys.Path().substr(0, sys.Path().size() - 1);  // without the separator
    const auto device = [](std::uint64_t major, std::uint64_t minor) { return major << 32 | minor; };
    using platform::DiskKind;
    EXPECT_EQ(platform::KindOfDisk(device(8, 0), root), DiskKind::kSpinning);
    EXPECT_EQ(platform::KindOfDisk(device(8, 2), root), DiskKind::kSpinning);  // its disk's queue
    EXPECT_EQ(platform::KindOfDisk(device(259, 0), root), DiskKind::kSolidState);
    EXPECT_EQ(platform::KindOfDisk(device(7, 0), root), DiskKind::kUnknown);
    EXPECT_EQ(platform::KindOfDisk(device(253, 0), root), DiskKind::kUnknown);  // no queue
    EXPECT_EQ(platform::KindOfDisk(device(0, 42), root), DiskKind::kUnknown);   // no block device
    // A partition is named by its disk; a device without a block device folder by its numbers.
    EXPECT_EQ(platform::DiskName(device(8, 2), root), "sda");
    EXPECT_EQ(platform::DiskName(device(259, 0), root), "nvme0n1");
    EXPECT_EQ(platform::DiskName(device(0, 42), root), "0:42");
}

}  // namespace
#endif
