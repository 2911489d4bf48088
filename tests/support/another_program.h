// Work done "by another program": in a child process, so that the program's own holds on a
// file (its locks and leases) treat it as they would a stranger. The parent goes on once the
// child has finished or is kept waiting by such a hold (a lease it is breaking).
#pragma once

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

class AnotherProgram {
public:
    explicit AnotherProgram(const std::function<void()>& work) {
#ifdef _WIN32
        work();  // no child processes here: the work is done at once
#else
        m_pid = fork();
        if (m_pid == 0) {
            // A stranger shares none of the program's open files (a lease stays with an open
            // file as long as any process holds it).
            for (int fd = 3; fd < 1024; ++fd) close(fd);
            work();
            _exit(0);
        }
        // Until it has ended, or waits on a lease that the program holds.
        for (int k = 0; k < 5000 && !Ended(); ++k) {
            if (WaitsOnLease()) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
#endif
    }
    ~AnotherProgram() { Wait(); }
    AnotherProgram(const AnotherProgram&) = delete;
    AnotherProgram& operator=(const AnotherProgram&) = delete;

    // Waits for the work to be over (once the program has let go of its file).
    void Wait() {
#ifndef _WIN32
        if (m_pid > 0 && !m_ended) waitpid(m_pid, nullptr, 0);
        m_ended = true;
#endif
    }
    // Whether the child was kept waiting by a lease when the parent went on.
    bool WasKeptWaiting() const { return m_keptWaiting; }

private:
#ifndef _WIN32
    bool Ended() {
        if (m_pid <= 0 || m_ended) return true;
        m_ended = waitpid(m_pid, nullptr, WNOHANG) == m_pid;
        return m_ended;
    }
    bool WaitsOnLease() {
        std::ifstream locks("/proc/locks");
        std::string line;
        const std::string pid = " " + std::to_string(m_pid) + " ";
        while (std::getline(locks, line))
            if (line.find("BREAKER") != std::string::npos && line.find(pid) != std::string::npos)
                return m_keptWaiting = true;
        return false;
    }
    pid_t m_pid = -1;
    bool m_ended = false;
#endif
    bool m_keptWaiting = false;
};
