// The pairscout executable starts on the test display, shows its window titled "Pairscout" and
// keeps running; imagemagick's import saves that window as PNG.
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

#ifdef PAIRSCOUT_GUI_PATH

namespace {

bool HaveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Run(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

// The X window id of the top-level window titled "Pairscout" that process `pid` shows, or "".
// Other tests may show windows of the same title on the same display at the same time; the
// window's _NET_WM_PID tells them apart.
std::string FindWindowOf(pid_t pid) {
    std::istringstream tree(Run("xwininfo -root -children 2>/dev/null"));
    std::string line;
    while (std::getline(tree, line)) {
        if (line.find("\"Pairscout\": (") == std::string::npos) continue;
        std::istringstream fields(line);
        std::string id;
        fields >> id;
        const std::string prop = Run("xprop -id " + id + " _NET_WM_PID 2>/dev/null");
        if (prop.find("= " + std::to_string(pid)) != std::string::npos) return id;
    }
    return std::string();
}

TEST(Executable, StartsAndShowsThePairscoutWindow) {
    TempDir home;
    // The child's environment: this one with its own temporary home.
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("HOME=", 0) == 0 || entry.rfind("XDG_CONFIG_HOME=", 0) == 0) continue;
        env.push_back(entry);
    }
    env.push_back("HOME=" + home.Path());
    env.push_back("XDG_CONFIG_HOME=" + home.Path() + ".config");
    env.push_back("NO_AT_BRIDGE=1");
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(&entry[0]);
    envp.push_back(nullptr);
    char program[] = PAIRSCOUT_GUI_PATH;
    char* argv[] = {program, nullptr};

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execve(program, argv, envp.data());
        _exit(127);
    }

    // Without the X tools the test can only see that the program keeps running.
    const bool canLook = HaveTool("xwininfo") && HaveTool("xprop");
    bool running = true;
    std::string window;
    for (int attempt = 0; attempt < 100 && running && window.empty(); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) running = false;
        if (running && canLook) window = FindWindowOf(pid);
        if (running && !canLook && attempt >= 20) break;
    }
    EXPECT_TRUE(running) << "pairscout ended on its own";
    if (canLook) {
        EXPECT_FALSE(window.empty()) << "no window titled Pairscout";
    } else {
        std::printf("xwininfo/xprop (x11-utils) missing: only checked that pairscout runs\n");
    }

    if (!window.empty() && HaveTool("import")) {
        const std::string png = home / "window.png";
        EXPECT_EQ(std::system(("import -window " + window + " '" + png + "'").c_str()), 0);
        const std::string bytes = ReadWholeFile(png);
        ASSERT_GE(bytes.size(), 8u);
        EXPECT_EQ(bytes.substr(1, 3), "PNG");
    }
    if (running) {
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
    }
}

// --help and --version answer without a display (a terminal over ssh, a package check); the
// same program started without either needs one and fails, which shows there was none.
TEST(Executable, HelpAndVersionAnswerWithoutADisplay) {
    // X11 only, and a time limit: a desktop session found some other way would open a window.
    const std::string run =
        std::string("timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY GDK_BACKEND=x11 '") +
        PAIRSCOUT_GUI_PATH + "' ";
    const std::string tail = " 2>/dev/null; echo \"exit $?\"";

    EXPECT_EQ(::Run(run + "--version" + tail),
              "pairscout (Pairscout) " PAIRSCOUT_VERSION "\nexit 0\n");
    // Anywhere among folders, and the first of the two wins.
    EXPECT_EQ(::Run(run + "/tmp --version --help" + tail), ::Run(run + "--version" + tail));

    const std::string help = ::Run(run + "--help" + tail);
    EXPECT_EQ(help.rfind("用法：pairscout [文件夹]...\n", 0), 0u) << help;
    EXPECT_NE(help.find("--version"), std::string::npos) << help;
    EXPECT_EQ(help.substr(help.size() - 7), "exit 0\n") << help;
    EXPECT_EQ(::Run(run + "-h" + tail), help);

    const std::string without = ::Run(run + tail);
    EXPECT_NE(without, "exit 0\n") << "pairscout ran without a display";
    EXPECT_EQ(without.find("pairscout (Pairscout)"), std::string::npos);
}

}  // namespace

#endif  // PAIRSCOUT_GUI_PATH
