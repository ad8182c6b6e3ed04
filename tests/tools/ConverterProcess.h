#pragma once
// Runs the real quillet-md2html executable with some standard input and collects what it wrote.

#include <string>
#include <vector>

namespace quillet::testing {

struct ProcessResult {
    int exitCode = -1; // -1 when the process did not exit normally (a crash)
    std::string out;
    std::string err;
};

ProcessResult runMd2html(const std::vector<std::string>& arguments, const std::string& standardInput = "");

// A fresh folder under the system's temporary folder, removed when the object goes.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

} // namespace quillet::testing
