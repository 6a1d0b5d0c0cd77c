// qx7mb selftest against a healthy headless virtual board, next to one plain 64 MiB "mem write" through
// the same tool in the same run: the whole test, its quick form, and their ratios to the write.
#include "bench/RandomImage.h"
#include "cli/Tool.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t TOTAL = 64u << 20;
constexpr int ROUNDS = 3;

// Runs the tool with these arguments; seconds taken, negative when it failed.
double Timed(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    cli::Interruption interruption;
    cli::ToolContext context{out, err, false, interruption, [](uint32_t) {}, std::nullopt};
    const auto start = Clock::now();
    const int code = cli::RunTool(args, context);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (code != 0) {
        std::fprintf(stderr, "qx7mb %s: exit code %d\n%s%s", args.front().c_str(), code, out.str().c_str(),
                     err.str().c_str());
        return -1;
    }
    return seconds;
}

} // namespace

int main() {
    testsupport::VBoardProcess server;
    testsupport::TempFolder files;
    const std::string file = files / "image.bin";
    const std::vector<uint8_t> image = RandomImage(TOTAL);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), TOTAL);

    std::printf("qx7mb against a healthy headless qx7mb-vboard through VELDARA_JTAG.DLL\n");
    bool ok = true;
    for (int round = 1; round <= ROUNDS; ++round) {
        const double write = Timed({"mem", "write", "0", file});
        const double full = Timed({"selftest"});
        const double quick = Timed({"selftest", "--quick"});
        ok = ok && write > 0 && full > 0 && quick > 0;
        std::printf("round %d  mem write 64 MiB %6.3f s  selftest %6.3f s (%.2f x the write)  selftest --quick "
                    "%6.3f s\n",
                    round, write, full, full / write, quick);
    }
    return ok ? 0 : 1;
}
