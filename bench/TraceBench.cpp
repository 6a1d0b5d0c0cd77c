// What a JTAG trace costs: qx7mb's "mem write --verify" of the whole 64 MiB SDRAM against a headless
// virtual board, untraced and traced ($QX7MB_TRACE) in turns, through each edition of
// VELDARA_JTAG.DLL (the hardware one with the relay stand-in of Quartus's library). Reports each
// run, the median of each kind, the traced run's extra time and the trace's size.
#include "bench/RandomImage.h"
#include "board/JtagApi.h"
#include "cli/Tool.h"
#include "platform/DynamicLibrary.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t TOTAL = 64u << 20;
constexpr int ROUNDS = 5;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One whole command; its time in seconds, negative when it failed.
double Run(const std::string& file, const std::optional<TJtagApi>& api) {
    std::ostringstream out;
    std::ostringstream err;
    cli::Interruption interruption;
    cli::ToolContext context{out, err, false, interruption, [](uint32_t) {}, api};
    const auto start = Clock::now();
    const int code = cli::RunTool({"--no-configure", "mem", "write", "0", file, "--verify"}, context);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (code != 0)
        std::fprintf(stderr, "the command FAILED (%d): %s", code, err.str().c_str());
    return code == 0 ? seconds : -1;
}

} // namespace

int main() {
    testsupport::VBoardProcess server;
    testsupport::TempFolder files;
    const std::string image = files / "image.bin";
    const std::string trace = files / "jtag.trace";
    const std::vector<uint8_t> bytes = RandomImage(TOTAL);
    std::ofstream(image, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), TOTAL);

    // The hardware edition finds the stand-in of Quartus's JTAG library, which relays to the same board.
    testsupport::ScopedEnv quartus("QUARTUS_ROOTDIR", QX7MB_FAKE_QUARTUS_DIR);
    platform::DynamicLibrary hardware;
    TJtagApi hardwareApi;
    if (!hardware.Load(std::string(QX7MB_HARDWARE_DIR) + "/" + JTAG_LIBRARY_NAME) ||
        !LookUpJtagApi(hardware, hardwareApi)) {
        std::fprintf(stderr, "cannot load the hardware edition from %s\n", QX7MB_HARDWARE_DIR);
        return 1;
    }
    struct Edition {
        const char* name;
        std::optional<TJtagApi> api;
        std::vector<double> plain, traced;
        uintmax_t traceSize = 0;
    } editions[] = {{"virtual", std::nullopt, {}, {}, 0}, {"hardware", hardwareApi, {}, {}, 0}};

    std::printf("qx7mb mem write 0 image.bin --verify, 64 MiB, untraced and traced in turns, %d rounds\n", ROUNDS);
    for (int round = 1; round <= ROUNDS; ++round) {
        for (Edition& edition : editions) {
            const double plain = Run(image, edition.api);
            std::filesystem::remove(trace);
            double traced = 0;
            {
                testsupport::ScopedEnv on("QX7MB_TRACE", trace.c_str());
                traced = Run(image, edition.api);
            }
            if (plain < 0 || traced < 0)
                return 1;
            edition.plain.push_back(plain);
            edition.traced.push_back(traced);
            edition.traceSize = std::filesystem::file_size(trace);
            std::printf("round %d  %-8s  untraced %6.3f s  traced %6.3f s  (%+5.1f %%)\n", round, edition.name, plain,
                        traced, 100.0 * (traced / plain - 1.0));
        }
    }
    for (const Edition& edition : editions) {
        const double plain = Median(edition.plain);
        const double traced = Median(edition.traced);
        std::printf("%-8s  median untraced %6.3f s, traced %6.3f s: %+5.1f %%; trace of one run %.2f MiB\n",
                    edition.name, plain, traced, 100.0 * (traced / plain - 1.0),
                    static_cast<double>(edition.traceSize) / (1 << 20));
    }
    return 0;
}
