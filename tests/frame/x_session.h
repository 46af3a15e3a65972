// A private X server with a window manager (Xvfb + openbox) for tests that
// drive a real program from outside with xdotool, as a user would.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/process.h"

extern char** environ;

namespace vlm::test {

class XSession {
  public:
    XSession() {
        int fds[2];
        if (::pipe(fds) != 0) return;
        const std::string fd = std::to_string(fds[1]);
        server_ = Spawn({"Xvfb", "-displayfd", fd, "-screen", "0", "1024x768x24", "+extension", "GLX",
                         "-nolisten", "tcp", "-noreset"},
                        {});
        ::close(fds[1]);
        char buffer[16] = {};
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer - 1);
        ::close(fds[0]);
        if (n <= 0) return;
        display_ = ":" + std::string(buffer, static_cast<std::size_t>(n - (buffer[n - 1] == '\n' ? 1 : 0)));
        windowManager_ = Spawn({"openbox", "--sm-disable"}, {"DISPLAY=" + display_}, true);
        // The window manager is up once it has claimed the root window.
        Display* x = XOpenDisplay(display_.c_str());
        if (!x) return;
        const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
        for (int i = 0; i < 200 && !HasProperty(x, check); ++i)
            Sleep(25);
        XCloseDisplay(x);
        ready_ = true;
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

    // Starts a program on this display with extra environment entries.
    void Start(const std::string& program, const std::vector<std::string>& environment) {
        std::vector<std::string> env = environment;
        env.push_back("DISPLAY=" + display_);
        // In sanitizer builds the leak checker's exit-time scan can crash
        // among the GL driver's threads of a program ended by X input; the
        // leaks are checked by the test programs themselves.
        env.push_back("ASAN_OPTIONS=detect_leaks=0");
        programs_.push_back(Spawn({program}, env));
    }

    // Runs "xdotool ARGS" on this display; its exit code.
    int Xdotool(const std::string& arguments) const {
        const std::string command = "DISPLAY=" + display_ + " xdotool " + arguments + " >/dev/null 2>&1";
        return std::system(command.c_str());
    }
    // The output of "xdotool ARGS".
    std::string XdotoolOutput(const std::string& arguments) const {
        const std::string command[] = {"sh", "-c", "DISPLAY=" + display_ + " xdotool " + arguments + " 2>/dev/null"};
        std::string out = platform::RunForOutput(command).value_or("");
        while (!out.empty() && out.back() == '\n')
            out.pop_back();
        return out;
    }

    // Asks the window to close as the window manager's close button does.
    bool RequestClose(unsigned long window) const {
        Display* x = XOpenDisplay(display_.c_str());
        if (!x) return false;
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        const bool sent = XSendEvent(x, window, False, NoEventMask, &event) != 0;
        XFlush(x);
        XCloseDisplay(x);
        return sent;
    }

    // Waits for the first program started to end; its exit code, or -1 on
    // timeout or crash.
    int WaitForExit(std::chrono::milliseconds timeout) {
        if (programs_.empty()) return -1;
        pid_t& program = programs_.front();
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (program > 0 && ::waitpid(program, &status, WNOHANG) == program) {
                program = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            Sleep(20);
        }
        return -1;
    }

    static void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  private:
    static pid_t Spawn(const std::vector<std::string>& arguments,
                       const std::vector<std::string>& extraEnvironment, bool quiet = false) {
        // The extra entries replace inherited ones of the same name (the
        // tests may themselves run under another display).
        std::vector<std::string> env = extraEnvironment;
        for (char** e = environ; *e; ++e) {
            const std::string entry(*e);
            const std::string name = entry.substr(0, entry.find('=') + 1);
            const bool replaced =
                std::any_of(extraEnvironment.begin(), extraEnvironment.end(),
                            [&](const std::string& extra) { return extra.starts_with(name); });
            if (!replaced) env.push_back(entry);
        }
        std::vector<char*> argv, envp;
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        for (const std::string& e : env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        // The helpers' chatter stays out of the test output; the program's
        // own output goes through.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (quiet) {
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        }
        pid_t pid = -1;
        const int failed = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        return failed ? -1 : pid;
    }

    static void Stop(pid_t& pid) {
        if (pid <= 0) return;
        ::kill(pid, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100 && ::waitpid(pid, &status, WNOHANG) == 0; ++i)
            Sleep(10);
        if (::waitpid(pid, &status, WNOHANG) == 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        pid = -1;
    }

    static bool HasProperty(Display* x, Atom property) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        const int result = XGetWindowProperty(x, DefaultRootWindow(x), property, 0, 1, False, AnyPropertyType,
                                              &type, &format, &items, &after, &data);
        if (data) XFree(data);
        return result == Success && type != None;
    }

    pid_t server_ = -1;
    pid_t windowManager_ = -1;
    std::vector<pid_t> programs_;
    std::string display_;
    bool ready_ = false;
};

// Lines of a report file as they are now.
inline std::vector<std::string> ReportLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace vlm::test
