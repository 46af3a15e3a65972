// A private X server with a window manager (Xvfb + openbox) for tests that
// drive a real program from outside with xdotool, as a user would.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdlib>
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
        // The window manager's chatter stays out of the test output.
        programs_.push_back(Spawn({"sh", "-c", "DISPLAY=" + display_ + " exec openbox --sm-disable >/dev/null 2>&1"}));
        // The window manager is up once it has claimed the root window.
        const std::string check[] = {"xprop", "-display", display_, "-root", "_NET_SUPPORTING_WM_CHECK"};
        ready_ = WaitUntil(
            [&] { return platform::RunForOutput(check).value_or("").find("window id") != std::string::npos; });
    }
    ~XSession() {
        for (pid_t& program : programs_) // the window manager first
            Stop(program);
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
    static pid_t Spawn(std::vector<std::string> arguments) {
        std::vector<char*> argv;
        for (std::string& a : arguments)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        return ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
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
    std::vector<pid_t> programs_;
    std::string display_;
    bool ready_ = false;
};

} // namespace vlm::test
