// The default memory budget: the room a control group leaves is read from v2 and v1 trees
// alike, the least of a group and the groups above it.
#include "tool/memory_budget.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace vorline {

namespace {

namespace fs = std::filesystem;

class CgroupRoom : public ::testing::Test {
protected:
    // Writes `text` into the group file `name` below the temporary root.
    void put(const std::string& name, const std::string& text) const {
        fs::create_directories(fs::path(dir.file(name)).parent_path());
        dir.write(name, text);
    }
    std::optional<std::uint64_t> room(const std::string& self) const {
        return cgroup_memory_room(dir.path().string(), self);
    }
    TempDir dir;
};

TEST_F(CgroupRoom, TheLeastRoomOfTheGroupAndTheGroupsAboveIt) {
    // v2: the job's group has no limit of its own, the one above it has.
    put("cgroup.controllers", "memory\n");
    put("slurm/memory.max", "1073741824\n");
    put("slurm/memory.current", "73741824\n");
    put("slurm/job_7/memory.max", "max\n");
    put("slurm/job_7/memory.current", "1000\n");
    EXPECT_EQ(room("0::/slurm/job_7\n"), 1000000000u);
    // A tighter limit below wins.
    put("slurm/job_7/memory.max", "500000000\n");
    EXPECT_EQ(room("0::/slurm/job_7\n"), 499999000u);
    // A group using more than its limit leaves no room.
    put("slurm/job_7/memory.current", "600000000\n");
    EXPECT_EQ(room("0::/slurm/job_7\n"), 0u);
}

TEST_F(CgroupRoom, VersionOneBesideVersionTwo) {
    // v1's memory controller; its "no limit" is a number near 2^63.
    put("memory/docker/memory.limit_in_bytes", "9223372036854771712\n");
    put("memory/docker/box/memory.limit_in_bytes", "300000000\n");
    put("memory/docker/box/memory.usage_in_bytes", "100000000\n");
    const std::string self = "5:cpu,cpuacct:/docker/box\n4:memory:/docker/box\n0::/\n";
    EXPECT_EQ(room(self), 200000000u);
    put("unified/memory.max", "150000000\n");  // v2 beside v1, limited as well
    EXPECT_EQ(room(self), 150000000u);
}

TEST_F(CgroupRoom, NoLimitIsNoRoom) {
    put("memory/memory.limit_in_bytes", "9223372036854771712\n");
    put("a/memory.max", "max\n");
    EXPECT_EQ(room("4:memory:/\n0::/a\n"), std::nullopt);
    EXPECT_EQ(room(""), std::nullopt);
    EXPECT_EQ(room("garbage\n"), std::nullopt);
    EXPECT_EQ(room("0::/not/there\n"), std::nullopt);
    // The budget of this machine is some memory, at most what it has.
    EXPECT_GT(default_memory_budget(), 0u);
}

}  // namespace

}  // namespace vorline
