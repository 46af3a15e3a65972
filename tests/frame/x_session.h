// A private X server with a window manager (Xvfb + openbox) for tests that
// drive a real program from outside with xdotool, as a user would.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/process.h"
#include "support/wait_until.h"

extern char** environ;

namespace vlm::test {

class XSession {
public:
    XSession() {
        int fds[2];
        if (::pipe(fds) != 0) return;
        const std::string fd = std::to_string(fds[1]);
        server_ = Spawn({"Xvfb", "-displayfd", fd, "-screen", "0", "1024x768x24", "+extension", "GLX", "-nolisten",
                         "tcp", "-noreset"});
        ::close(fds[1]);
        char buffer[16] = {};
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer - 1);
        ::close(fds[0]);
        if (n <= 0) return;
        display_ = ":" + std::string(buffer, static_cast<std::size_t>(n - (buffer[n - 1] == '\n' ? 1 : 0)));
        windowManager_ = Spawn({"env", "DISPLAY=" + display_, "openbox", "--sm-disable"}, true);
        // The window manager is up once it has claimed the root window.
        const std::string check[] = {"xprop", "-display", display_, "-root", "_NET_SUPPORTING_WM_CHECK"};
        ready_ = WaitUntil(
            [&] { return platform::RunForOutput(check).value_or("").find("window id") != std::string::npos; });
    }
    ~XSession() {
        for (pid_t& program : programs_)
            Stop(program);
        Stop(windowManager_);
        Stop(server_);
    }
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool Ready() const { return ready_; }
    const std::string& DisplayName() const { return display_; }

    // Starts a program on this display; the environment entries given
    // replace inherited ones of the same name, later ones earlier ones.
    void Start(const std::string& program, const std::vector<std::string>& environment) {
        // In sanitizer builds the leak checker's exit-time scan can crash
        // among the GL driver's threads of a program ended by X input; the
        // leaks are checked by the test programs themselves.
        std::vector<std::string> arguments = {"env", "DISPLAY=" + display_, "ASAN_OPTIONS=detect_leaks=0"};
        arguments.insert(arguments.end(), environment.begin(), environment.end());
        arguments.push_back(program);
        programs_.push_back(Spawn(arguments));
    }

    // Runs "xdotool ARGS" on this display; its output.
    std::string Xdotool(const std::string& arguments) const {
        const std::string command[] = {"sh", "-c", "DISPLAY=" + display_ + " xdotool " + arguments + " 2>/dev/null"};
        std::string out = platform::RunForOutput(command).value_or("");
        while (!out.empty() && out.back() == '\n')
            out.pop_back();
        return out;
    }

    // Waits for the program started last to end; its exit code, or -1 on
    // timeout or crash.
    int WaitForExit(std::chrono::milliseconds timeout) {
        if (programs_.empty() || programs_.back() <= 0) return -1;
        pid_t& program = programs_.back();
        int status = 0;
        if (!WaitUntil([&] { return ::waitpid(program, &status, WNOHANG) == program; }, timeout)) return -1;
        program = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

private:
    // The helpers' chatter (quiet) stays out of the test output; the
    // program's own output goes through.
    static pid_t Spawn(std::vector<std::string> arguments, bool quiet = false) {
        std::vector<char*> argv;
        for (std::string& a : arguments)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (quiet) {
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        }
        pid_t pid = -1;
        const int failed = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        return failed ? -1 : pid;
    }

    static void Stop(pid_t& pid) {
        if (pid <= 0) return;
        ::kill(pid, SIGTERM);
        int status = 0;
        if (!WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) != 0; }, std::chrono::seconds(1))) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        pid = -1;
    }

    pid_t server_ = -1;
    pid_t windowManager_ = -1;
    std::vector<pid_t> programs_;
    std::string display_;
    bool ready_ = false;
};

} // namespace vlm::test
