#include "PlatformTestSupport.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillet::platform::testing {

bool immutableAttributeWorks(const QString& folder) {
    const QString probe = folder + QStringLiteral("/immutable-probe");
    if (!writeBytes(probe, "x")) return false;
    const bool works = setImmutableAttribute(probe, true).ok;
    setImmutableAttribute(probe, false);
    QFile::remove(probe);
    return works;
}

int runAsUnprivilegedUser(const std::function<int()>& body) {
    constexpr uid_t kNobody = 65534;
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(255);
        ::_exit(body() & 0xff);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    const int code = WEXITSTATUS(status);
    return code == 255 ? -1 : code;
}

} // namespace quillet::platform::testing
