// Permission checks in tests: root reads and writes anything, and the CI runs the tests as root.
// RunUnprivileged runs a part of a test in a child process that, under root, has dropped to the
// user nobody first, so that the permissions under test really apply. POSIX only.
#pragma once

#ifndef _WIN32

#include <fcntl.h>
#include <ftw.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>

namespace unprivileged {

// The user the child runs as under root.
inline uid_t NobodyUid() {
    const passwd* pw = getpwnam("nobody");
    return pw != nullptr ? pw->pw_uid : 65534;
}
inline gid_t NobodyGid() {
    const passwd* pw = getpwnam("nobody");
    return pw != nullptr ? pw->pw_gid : 65534;
}

// Under root: gives `path` and everything below it to nobody, and lets nobody pass through
// `path` itself, so that the child can reach and change what the test made. Else nothing.
// False when that failed.
inline bool GiveToNobody(const std::string& path) {
    if (geteuid() != 0) return true;
    static uid_t uid;
    static gid_t gid;
    uid = NobodyUid();
    gid = NobodyGid();
    const int walked = nftw(
        path.c_str(),
        [](const char* name, const struct stat*, int, FTW*) {
            return lchown(name, uid, gid) == 0 ? 0 : 1;
        },
        16, FTW_PHYS);
    return walked == 0 && chmod(path.c_str(), 0755) == 0;
}

// Runs `body` in a child process: as nobody when this process runs as root, else as this user.
// Returns what `body` returned, or a text starting with "child: " when the child could not
// drop its privileges or did not end normally. `body` must not use GoogleTest's assertions
// (they would be counted in the child); it reports what it saw in its result.
inline std::string RunUnprivileged(const std::function<std::string()>& body) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return "child: no pipe";
    const pid_t pid = fork();
    if (pid < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        return "child: no fork";
    }
    if (pid == 0) {
        close(pipeFds[0]);
        if (geteuid() == 0) {
            const gid_t gid = NobodyGid();
            const uid_t uid = NobodyUid();
            if (setgroups(0, nullptr) != 0 || setresgid(gid, gid, gid) != 0 ||
                setresuid(uid, uid, uid) != 0 || geteuid() == 0) {
                const char failed[] = "child: cannot become nobody";
                (void)!write(pipeFds[1], failed, sizeof failed - 1);
                _exit(3);
            }
        }
        const std::string text = body();
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = write(pipeFds[1], text.data() + done, text.size() - done);
            if (n <= 0) _exit(4);
            done += static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(pipeFds[1]);
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return text.rfind("child: ", 0) == 0 ? text : "child: ended with status " +
                                                          std::to_string(status) + " " + text;
    return text;
}

}  // namespace unprivileged

#endif
