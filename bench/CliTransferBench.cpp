// qx7mb's "mem write --verify" of the whole 64 MiB SDRAM against a headless virtual board, through
// our VELDARA_JTAG.DLL. Every exchange begins with the panel's input drain (one-byte reads with a
// 1 ms limit), which sets the floor: exchanges x the drain per exchange, measured on the idle link.
// Each phase of the command is timed on its own (the write, a plain read as "mem read" does, and the
// verify's read with its comparison), then the whole command as a script runs it.
#include "bench/MeteredJtag.h"
#include "bench/RandomImage.h"
#include "board/Board.h"
#include "cli/ImageComparison.h"
#include "cli/MemoryTransfer.h"
#include "cli/Tool.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t TOTAL = 64u << 20;
constexpr int ROUNDS = 3;
constexpr int DRAIN_SAMPLES = 2000;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct Phase {
    double seconds = 0;
    uint64_t exchanges = 0;
    double drains = 0;
};

template <typename Work> Phase Measure(Work work) {
    MeteredJtag::Reset();
    const auto start = Clock::now();
    const bool ok = work();
    Phase phase{Seconds(Clock::now() - start), MeteredJtag::Exchanges(), Seconds(MeteredJtag::DrainTime())};
    if (!ok)
        std::printf("  (the transfer FAILED)\n");
    return phase;
}

void Report(const char* what, const Phase& phase, double drainPerExchange) {
    const double floor = static_cast<double>(phase.exchanges) * drainPerExchange;
    std::printf(
        "  %-7s %6.3f s  %4llu exchanges  floor %6.3f s  ratio %5.3f  (drains inside %6.3f s, outside %6.3f s)\n", what,
        phase.seconds, static_cast<unsigned long long>(phase.exchanges), floor, phase.seconds / floor, phase.drains,
        phase.seconds - phase.drains);
}

} // namespace

int main() {
    testsupport::VBoardProcess server;
    MeteredJtag metered;
    std::string error;
    if (!metered.Load(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    testsupport::TempFolder files;
    const std::vector<uint8_t> image = RandomImage(TOTAL);
    const std::string file = files / "image.bin";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), TOTAL);

    double drainPerExchange = 0;
    {
        TBoard board(MeteredJtag::Api());
        if (!board.Connect(error, 0) || !board.Ping()) {
            std::fprintf(stderr, "no link to the board server: %s\n", error.c_str());
            return 1;
        }
        const auto start = Clock::now();
        for (int i = 0; i < DRAIN_SAMPLES; ++i)
            board.DrainInput();
        drainPerExchange = Seconds(Clock::now() - start) / DRAIN_SAMPLES;
    }
    std::printf("64 MiB through qx7mb's transfers, TBoard, VELDARA_JTAG.DLL and qx7mb-vboard; drain on the idle "
                "link %.1f us per exchange\n",
                drainPerExchange * 1e6);

    std::ostringstream quiet;
    cli::Interruption interruption;
    for (int round = 1; round <= ROUNDS; ++round) {
        TBoard board(MeteredJtag::Api());
        if (!board.Connect(error, 0)) {
            std::fprintf(stderr, "no link to the board server: %s\n", error.c_str());
            return 1;
        }
        cli::MemoryTransfer transfer(board, interruption);
        cli::ProgressBar bar(quiet, false, "", TOTAL);
        std::vector<uint8_t> back(TOTAL);
        const Phase write =
            Measure([&] { return transfer.Write(0, image.data(), TOTAL, bar) == cli::MemoryTransfer::Outcome::Done; });
        const Phase read = Measure([&] {
            return transfer.Read(
                       0, TOTAL,
                       [&](uint32_t at, const uint8_t* bytes, uint32_t n) { std::memcpy(&back[at], bytes, n); },
                       bar) == cli::MemoryTransfer::Outcome::Done;
        });
        cli::ImageComparison comparison(image.data());
        const Phase verify = Measure([&] {
            return transfer.Read(
                       0, TOTAL,
                       [&](uint32_t at, const uint8_t* bytes, uint32_t n) { comparison.Compare(at, bytes, n); },
                       bar) == cli::MemoryTransfer::Outcome::Done;
        });
        std::printf("round %d%s\n", round, back == image && comparison.Differences() == 0 ? "" : " (data WRONG)");
        Report("write", write, drainPerExchange);
        Report("read", read, drainPerExchange);
        Report("verify", verify, drainPerExchange);
        std::printf("  verify adds %+.1f %% to the read\n", 100.0 * (verify.seconds / read.seconds - 1.0));
    }

    std::ostringstream out;
    std::ostringstream err;
    cli::ToolContext context{out, err, false, interruption, [](uint32_t) {}, MeteredJtag::Api()};
    const Phase whole = Measure([&] { return cli::RunTool({"mem", "write", "0", file, "--verify"}, context) == 0; });
    std::printf("qx7mb mem write 0 image.bin --verify, whole: %.3f s, %llu exchanges, floor %.3f s (with loading the "
                "file and connecting)\n%s",
                whole.seconds, static_cast<unsigned long long>(whole.exchanges),
                static_cast<double>(whole.exchanges) * drainPerExchange, out.str().c_str());
    return 0;
}
