// The main of every test program. Runtime code may end the process through
// EndProgram, which exits with code 0; a test that did so by accident would
// look like a pass. While a test runs in the main process, such an exit is
// turned into a failure. Death-test children run in other processes and
// are left alone.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

pid_t mainProcess = 0;
const char* runningTest = nullptr;

class RunningTestTracker : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& info) override { runningTest = info.name(); }
    void OnTestEnd(const ::testing::TestInfo&) override { runningTest = nullptr; }
};

void FailEarlyExit() {
    if (runningTest && ::getpid() == mainProcess) {
        std::fprintf(stderr, "test %s ended the process before it finished\n", runningTest);
        std::fflush(stderr);
        ::_exit(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const std::string filter = ::testing::GTEST_FLAG(internal_run_death_test);
    if (filter.empty()) {
        mainProcess = ::getpid();
        std::atexit(FailEarlyExit);
    }
    ::testing::UnitTest::GetInstance()->listeners().Append(new RunningTestTracker);
    return RUN_ALL_TESTS();
}
