// The game as a player starts it: the real binary, paced at 60 frames per
// second, from a folder of its own with the build's media. Prints the time
// from start to the first title frame (median of five starts), the CPU share
// of one core while the title runs (six seconds: blinking prompt and score
// table) and the peak memory. Needs a display (make bench runs it under
// Xvfb); sound goes to SDL's dummy driver.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Setting the screen size shows five frames before the title's first.
constexpr int kFirstTitleFrame = 6;
constexpr int kTitleFrames = 360;

struct Run {
    pid_t pid = -1;
    Clock::time_point started;
};

Run Start(const fs::path& folder, const std::string& script) {
    std::ofstream(folder / "input.txt") << script;
    const std::string program = (folder / "splosh").string();
    std::vector<std::string> env = {"TMPDIR=" + folder.string(), "XDG_DATA_HOME=" + (folder / "xdg").string(),
                                    "SDL_AUDIODRIVER=dummy", "VELMORA_INPUT_SCRIPT=" + (folder / "input.txt").string()};
    for (char** e = environ; *e; ++e)
        env.push_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    Run run;
    run.started = Clock::now();
    if (posix_spawn(&run.pid, argv[0], nullptr, nullptr, argv, envp.data()) != 0) run.pid = -1;
    return run;
}

// Waits for a shot of the run to appear; the time it took, or -1.
double WaitForFile(const Run& run, const fs::path& file) {
    const auto limit = run.started + std::chrono::seconds(30);
    while (!fs::exists(file) && Clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    if (!fs::exists(file)) return -1;
    return std::chrono::duration<double, std::milli>(Clock::now() - run.started).count();
}

// User and system time of the whole process (every thread), in milliseconds.
double CpuMilliseconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::size_t at = text.rfind(')');
    unsigned long long utime = 0, stime = 0;
    if (at == std::string::npos ||
        std::sscanf(text.c_str() + at + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) !=
            2) {
        return 0;
    }
    return 1000.0 * static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// The process's own data in memory (not the mapped libraries), in MB.
double AnonymousMegabytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("RssAnon:")) return std::atof(line.c_str() + 8) / 1024.0;
    }
    return 0;
}

// Waits for the end; the peak resident memory in MB.
double Finish(const Run& run) {
    int status = 0;
    rusage usage{};
    if (::wait4(run.pid, &status, 0, &usage) != run.pid) return -1;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::string Frame(int frame, const std::string& action) { return std::to_string(frame) + " " + action + "\n"; }

} // namespace

int main() {
    const fs::path folder = fs::temp_directory_path() / ("splosh-bench." + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::copy_file(SPLOSH_PATH, folder / "splosh");
    fs::copy(fs::path(SPLOSH_PATH).parent_path() / "Media", folder / "Media", fs::copy_options::recursive);

    std::vector<double> starts;
    for (int i = 0; i < 5; ++i) {
        fs::remove(folder / "first.bmp");
        const Run run = Start(folder, Frame(kFirstTitleFrame, "shot first.bmp") + Frame(kFirstTitleFrame + 1, "end"));
        starts.push_back(WaitForFile(run, folder / "first.bmp"));
        Finish(run);
    }
    std::sort(starts.begin(), starts.end());

    const int last = kFirstTitleFrame + kTitleFrames;
    const Run run =
        Start(folder, Frame(kFirstTitleFrame, "shot a.bmp") + Frame(last, "shot b.bmp") + Frame(last + 1, "end"));
    const double wall0 = WaitForFile(run, folder / "a.bmp"), cpu0 = CpuMilliseconds(run.pid);
    const double wall1 = WaitForFile(run, folder / "b.bmp"), cpu1 = CpuMilliseconds(run.pid);
    const double anonymous = AnonymousMegabytes(run.pid);
    const double peak = Finish(run);
    fs::remove_all(folder);
    if (starts.front() < 0 || wall0 < 0 || wall1 < 0) {
        std::fprintf(stderr, "bench_splosh: the game did not show its title (needs a display)\n");
        return 1;
    }
    std::printf("start to first title frame  %6.1f ms  (median of 5, %.1f .. %.1f; goal < 250 ms)\n", starts[2],
                starts.front(), starts.back());
    std::printf("peak memory (RSS)           %6.1f MB  (goal < 80 MB); the program's own data %.1f MB, the rest "
                "mapped library code\n",
                peak, anonymous);
    std::printf("title at 60 fps, CPU share  %6.1f %% of one core over %.1f s  (goal < 10 %%)\n",
                100.0 * (cpu1 - cpu0) / (wall1 - wall0), (wall1 - wall0) / 1000.0);
}
