// A private temporary folder for one test, removed afterwards; it also
// becomes $TMPDIR so the runtime's log lands inside it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

namespace vlm::test {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vlmtest.XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
        const char* old = std::getenv("TMPDIR");
        if (old) oldTmpdir_ = old, hadTmpdir_ = true;
        ::setenv("TMPDIR", path_.c_str(), 1);
    }
    ~TempFolder() {
        if (hadTmpdir_)
            ::setenv("TMPDIR", oldTmpdir_.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
    std::string oldTmpdir_;
    bool hadTmpdir_ = false;
};

// A character device like /dev/null for tests that a device is never
// replaced: one of the folder's own where the test may make one, since run as
// root a fault would otherwise replace the system's /dev/null.
inline std::string DeviceIn(const TempFolder& temp) {
    const std::string own = (temp / "null").string();
    return ::mknod(own.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0 ? own : "/dev/null";
}

// Makes a folder the working directory for the scope, then goes back.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::filesystem::path& folder) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::filesystem::path previous_;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// The lines of a file whose lines end in "\r\n".
inline std::vector<std::string> ReadLogLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    const std::string text = ReadWholeFile(path);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

} // namespace vlm::test
