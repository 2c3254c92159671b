#pragma once
// Runs a step in a child process as a user without privileges: root may
// write any file, so what a user may not write can only be tested as another
// user when the tests run as root.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace kt::testing {

inline constexpr uid_t nobody = 65534;

// The step's result as the child's exit status (0..255), or -1 when the
// child could not drop its privileges or did not end normally.
inline int asunprivileged(const std::function<int()>& step)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            ::_exit(255);
        ::_exit(step() & 0xFF);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

} // namespace kt::testing
