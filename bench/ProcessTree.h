#pragma once
// What a process and the processes it started cost, read from /proc: CPU time of each process (all
// its threads) and of one thread, resident and proportional memory. A process tree's children
// (a web engine's renderer, its GPU process) do work the user pays for as much as the main
// process's.

#include <sys/types.h>
#include <vector>

namespace quillet::bench {

// The process and all its living descendants.
std::vector<pid_t> processTree(pid_t root);
// User + system CPU seconds of the process (every thread, living or ended); 0 when it is gone.
double processCpuSeconds(pid_t pid);
// User + system CPU seconds of one thread of the process.
double threadCpuSeconds(pid_t pid, pid_t tid);
// Summed over the tree.
double treeCpuSeconds(pid_t root);

struct Memory {
    long residentKb = 0; // of the root process
    long treePssKb = 0;  // proportional set size summed over the tree (shared pages split)
};
Memory treeMemory(pid_t root);

} // namespace quillet::bench
