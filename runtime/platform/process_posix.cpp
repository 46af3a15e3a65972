#include "platform/process.h"

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace vlm::platform {

namespace {

// The argument vector the spawn calls take, over copies it owns.
class ArgumentVector {
  public:
    explicit ArgumentVector(std::span<const std::string> arguments) : copies_(arguments.begin(), arguments.end()) {
        for (std::string& argument : copies_)
            pointers_.push_back(argument.data());
        pointers_.push_back(nullptr);
    }
    char* const* get() { return pointers_.data(); }
    const char* program() const { return pointers_.front(); }

  private:
    std::vector<std::string> copies_;
    std::vector<char*> pointers_;
};

} // namespace

bool StartDetachedProcess(std::span<const std::string> arguments, bool quiet) {
    if (arguments.empty()) return false;
    ArgumentVector argv(arguments);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        for (int fd : {0, 1, 2}) {
            posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
        }
    }
    pid_t child = 0;
    const int result = posix_spawnp(&child, argv.program(), &actions, &attributes, argv.get(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return result == 0;
}

std::optional<std::string> RunForOutput(std::span<const std::string> arguments) {
    if (arguments.empty()) return std::nullopt;
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    ArgumentVector argv(arguments);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t child = -1;
    const int failed = posix_spawnp(&child, argv.program(), &actions, nullptr, argv.get(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    std::string output;
    if (!failed) {
        char buffer[512];
        ssize_t n;
        while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
            output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    if (failed || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return output;
}

bool ProgramOnPath(std::string_view name) {
    const char* path = std::getenv("PATH");
    if (!path || name.empty()) return false;
    const std::string_view folders(path);
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        std::string folder(folders.substr(start, end - start));
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + std::string(name);
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

} // namespace vlm::platform
