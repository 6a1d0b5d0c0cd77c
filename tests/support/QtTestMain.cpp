// The main of every widget test: one QApplication for the whole test program, offscreen unless the
// environment chooses another platform.
#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <thread>

namespace {

std::ptrdiff_t ThreadCount() {
    std::error_code ignored;
    return std::distance(std::filesystem::directory_iterator("/proc/self/task", ignored),
                         std::filesystem::directory_iterator());
}

// Qt's pool threads (large image conversions and scaling use them) are detached: the application's
// end waits for their work, not for their exit, in which each releases its thread data. A program
// that ended before then would have the leak check report that data.
void AwaitThreadsEnded(std::ptrdiff_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (ThreadCount() > count && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    const std::ptrdiff_t threads = ThreadCount();
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    AwaitThreadsEnded(threads);
    return result;
}
