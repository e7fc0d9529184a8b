#pragma once

// Tests run as root, which ignores file permissions and limits nothing: what a user meets is
// tried in a forked child that drops to "nobody" or lowers a limit first.
#include <cstdio>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace keytoner::test {

// Runs `prepare`, then `body`, in a forked child and returns its exit status (0: every check
// held; 97: an exception, such as memory running out; 99: the privileges could not be dropped).
inline int inChild(const std::function<void()> &prepare, const std::function<int()> &body)
{
    std::fflush(nullptr); // or the child repeats what the parent has not written yet
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Nothing may leave the child but its status: an exception would run the rest of the
        // tests in it.
        int status = 98;
        try {
            prepare();
            status = body();
        } catch (...) {
            status = 97;
        }
        ::_exit(status);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Drops to "nobody", so that the file permissions apply as they do for a user.
inline void becomeNobody()
{
    if (::geteuid() != 0)
        return;
    const passwd *nobody = ::getpwnam("nobody");
    if (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
        ::setuid(nobody->pw_uid) != 0)
        ::_exit(99);
}

inline int asNobody(const std::function<int()> &body)
{
    return inChild(becomeNobody, body);
}

} // namespace keytoner::test
