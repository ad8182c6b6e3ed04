#include "bench/ProcessTree.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <unordered_map>

namespace quillet::bench {

namespace {

// The fields of a /proc stat line after the command name (which may hold spaces and parentheses):
// [0] is the state, [1] the parent, [11] utime, [12] stime.
std::vector<std::string> statFields(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    const auto close = line.rfind(')');
    std::vector<std::string> fields;
    if (close == std::string::npos) return fields;
    std::istringstream rest(line.substr(close + 1));
    for (std::string field; rest >> field;) fields.push_back(field);
    return fields;
}

double cpuSecondsOf(const std::string& statPath) {
    const std::vector<std::string> fields = statFields(statPath);
    if (fields.size() < 13) return 0;
    static const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    return (std::strtod(fields[11].c_str(), nullptr) + std::strtod(fields[12].c_str(), nullptr)) / ticks;
}

long fieldKb(const std::string& path, const std::string& name) {
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        if (line.rfind(name, 0) == 0) return std::strtol(line.c_str() + name.size(), nullptr, 10);
    return 0;
}

} // namespace

std::vector<pid_t> processTree(pid_t root) {
    std::unordered_multimap<pid_t, pid_t> children;
    if (DIR* proc = opendir("/proc")) {
        while (const dirent* entry = readdir(proc)) {
            const pid_t pid = static_cast<pid_t>(std::strtol(entry->d_name, nullptr, 10));
            if (pid <= 0) continue;
            const std::vector<std::string> fields = statFields("/proc/" + std::string(entry->d_name) + "/stat");
            if (fields.size() > 1) children.emplace(static_cast<pid_t>(std::stol(fields[1])), pid);
        }
        closedir(proc);
    }
    std::vector<pid_t> tree{root};
    for (std::size_t i = 0; i < tree.size(); ++i) {
        const auto [from, to] = children.equal_range(tree[i]);
        for (auto it = from; it != to; ++it) tree.push_back(it->second);
    }
    return tree;
}

double processCpuSeconds(pid_t pid) {
    return cpuSecondsOf("/proc/" + std::to_string(pid) + "/stat");
}

double threadCpuSeconds(pid_t pid, pid_t tid) {
    return cpuSecondsOf("/proc/" + std::to_string(pid) + "/task/" + std::to_string(tid) + "/stat");
}

double treeCpuSeconds(pid_t root) {
    double total = 0;
    for (const pid_t pid : processTree(root)) total += processCpuSeconds(pid);
    return total;
}

Memory treeMemory(pid_t root) {
    Memory memory;
    memory.residentKb = fieldKb("/proc/" + std::to_string(root) + "/status", "VmRSS:");
    for (const pid_t pid : processTree(root))
        memory.treePssKb += fieldKb("/proc/" + std::to_string(pid) + "/smaps_rollup", "Pss:");
    return memory;
}

} // namespace quillet::bench
