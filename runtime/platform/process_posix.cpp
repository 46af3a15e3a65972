#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <vector>

extern char** environ;

namespace vlm::platform {

bool StartDetachedProcess(std::span<const std::string> arguments, bool quiet) {
    if (arguments.empty()) return false;
    std::vector<std::string> copies(arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);

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
    const int result = posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return result == 0;
}

} // namespace vlm::platform
