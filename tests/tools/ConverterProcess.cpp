#include "ConverterProcess.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace quillet::testing {

namespace {

std::string readWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillet-tools-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TemporaryFolder::write(const std::string& name, const std::string& bytes) const {
    const std::string path = path_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// Standard streams go through files, so a large output can never block on a full pipe.
ProcessResult runMd2html(const std::vector<std::string>& arguments, const std::string& standardInput) {
    const TemporaryFolder streams;
    const std::string in = streams.write("stdin", standardInput);
    const std::string out = streams.path() + "/stdout";
    const std::string err = streams.path() + "/stderr";

    std::vector<char*> argv{const_cast<char*>(QUILLET_MD2HTML)};
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    std::fflush(nullptr); // or the child writes what this process has not written yet
    const pid_t child = ::fork();
    if (child == 0) {
        if (!std::freopen(in.c_str(), "rb", stdin) || !std::freopen(out.c_str(), "wb", stdout) ||
            !std::freopen(err.c_str(), "wb", stderr))
            ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ProcessResult result;
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    result.out = readWhole(out);
    result.err = readWhole(err);
    return result;
}

} // namespace quillet::testing
