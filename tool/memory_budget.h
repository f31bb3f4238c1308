// Memory budget: how much memory the first phase may take when no -m is given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vorline {

// Three quarters of the memory available as the run starts: the system's available
// memory, or the room left to the run's control group where that is less (a Slurm job, a
// container), whose limit would otherwise end the run by the out-of-memory killer instead
// of a spill. No bound when neither can be read.
std::uint64_t default_memory_budget();

// The memory left to the control groups the process is in: the least, over its group and
// the groups above it, of a group's limit less its use (none at all when no group has a
// limit). `self_cgroup` is what /proc/self/cgroup holds, `root` where the groups are
// mounted (/sys/fs/cgroup); control groups v2 (memory.max, memory.current) and v1 (under
// memory/: memory.limit_in_bytes, memory.usage_in_bytes) are both read.
std::optional<std::uint64_t> cgroup_memory_room(const std::string& root,
                                                const std::string& self_cgroup);

}  // namespace vorline
