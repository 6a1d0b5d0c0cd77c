// The memory page's transfer path on the whole 64 MiB SDRAM of a headless virtual board, the image
// conversions against a plain copy, and the peak memory of the two .HEX transfers above the idle panel.
#include "core/MemoryImage.h"
#include "pages/UnitMemory.h"
#include "platform/Notify.h"
#include "shell/DialogServices.h"
#include "shell/StatusInfo.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr uint32_t SDRAM_BYTES = 0x4000000;
constexpr double MIB = 1024.0 * 1024.0;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class ScriptedDialogs : public TDialogServices {
public:
    bool OpenFile(const QString&, const QString&, QString& path) override {
        path = next;
        return true;
    }
    bool SaveFile(const QString&, const QString&, QString& path) override {
        path = next;
        return true;
    }
    void SetCursor(Qt::CursorShape) override {}
    QString next;
};

// Counts the framed exchanges that the board object makes of the page's calls.
class ExchangeCounter : public TMemoryAccess {
public:
    explicit ExchangeCounter(TBoard& board) : board(board) {}
    bool KeepAlive() override {
        ++exchanges;
        return board.KeepAlive();
    }
    bool MemoryWrite(uint8_t type, uint32_t address, const uint8_t* data, uint32_t count) override {
        exchanges += (count + MEM_WRITE_CHUNK_MAX - 1) / MEM_WRITE_CHUNK_MAX;
        return board.MemoryWrite(type, address, data, count);
    }
    bool MemoryRead(uint8_t type, uint32_t address, uint8_t* destination, uint32_t count) override {
        exchanges += (count + MEM_READ_CHUNK_MAX - 1) / MEM_READ_CHUNK_MAX;
        return board.MemoryRead(type, address, destination, count);
    }
    TBoard& board;
    uint64_t exchanges = 0;
};

// Kilobytes of a line of /proc/self/status ("VmRSS", "VmHWM").
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    return -1;
}

// The peak resident size starts again from the current one.
bool ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.close();
    return static_cast<bool>(clear);
}

bool SameFiles(const std::string& a, const std::string& b) {
    std::ifstream fa(a, std::ios::binary);
    std::ifstream fb(b, std::ios::binary);
    return std::equal(std::istreambuf_iterator<char>(fa), {}, std::istreambuf_iterator<char>(fb), {});
}

template <typename Work> double Best(int runs, Work work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, SecondsSince(start));
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    bool passed = true;
    auto check = [&passed](bool ok, const char* what) {
        std::printf("  %-58s %s\n", what, ok ? "ok" : "FAILED");
        passed = passed && ok;
    };

    // Conversions first, before the panel holds anything.
    {
        std::vector<uint8_t> bytes(SDRAM_BYTES);
        std::mt19937 random(64);
        for (auto& b : bytes)
            b = static_cast<uint8_t>(random());
        std::vector<uint8_t> copy(SDRAM_BYTES, 1);
        std::vector<char> text(2 * size_t{SDRAM_BYTES}, 1);
        std::vector<char> decoded(2 * size_t{SDRAM_BYTES}, 1);
        const double copyTime = Best(3, [&] { std::memcpy(copy.data(), bytes.data(), bytes.size()); });
        const double textCopyTime = Best(3, [&] { std::memcpy(decoded.data(), text.data(), text.size()); });
        const double toHex = Best(3, [&] { BytesToHex(bytes.data(), bytes.size(), text.data()); });
        double toBytes = 1e9;
        bool decodedOk = true;
        for (int i = 0; i < 3; ++i) {
            std::memcpy(decoded.data(), text.data(), text.size());
            const auto start = Clock::now();
            decodedOk = HexToBytes(reinterpret_cast<uint8_t*>(decoded.data()), decoded.size()) && decodedOk;
            toBytes = std::min(toBytes, SecondsSince(start));
        }
        decodedOk = decodedOk && std::memcmp(decoded.data(), bytes.data(), bytes.size()) == 0;
        std::printf("Image conversions on 64 MiB\n");
        std::printf("  plain copy of 64 MiB          %7.1f ms\n", copyTime * 1e3);
        std::printf("  plain copy of the 128 MiB text %6.1f ms\n", textCopyTime * 1e3);
        std::printf("  BytesToHex                    %7.1f ms (%.1f x the copy)\n", toHex * 1e3, toHex / copyTime);
        std::printf("  HexToBytes, in place          %7.1f ms (%.1f x the copy)\n", toBytes * 1e3, toBytes / copyTime);
        check(decodedOk, "HexToBytes gives the bytes back");
        check(toHex <= 10 * copyTime, "BytesToHex within 10 x a plain copy");
        check(toBytes <= 10 * copyTime, "HexToBytes within 10 x a plain copy");
    }

    testsupport::TempFolder folder;
    const std::string raw = folder / "sdram.bin";
    const std::string hex = folder / "sdram.hex";
    {
        std::vector<uint8_t> image(SDRAM_BYTES);
        std::mt19937 random(65);
        for (auto& b : image)
            b = static_cast<uint8_t>(random());
        if (SaveMemoryImage(raw, image.data(), image.size()) != TImageSaveResult::Ok ||
            SaveMemoryImage(hex, image.data(), image.size()) != TImageSaveResult::Ok) {
            std::printf("cannot write the test images\n");
            return 1;
        }
    }

    testsupport::VBoardProcess vboard;
    ScriptedDialogs dialogs;
    SetDialogs(&dialogs);
    std::vector<std::string> boxes;
    platform::SetMessageHandler([&boxes](platform::MessageKind, const std::string& text) { boxes.push_back(text); });
    QString lastStatus;
    SetStatusInfoSink([&lastStatus](const QString& text, const QColor&) { lastStatus = text; });

    TBoard board;
    std::string error;
    if (!board.Connect(error, 0)) {
        std::printf("no virtual board: %s\n", error.c_str());
        return 1;
    }
    QWidget host;
    auto* page = new TFormMemory(&host);
    page->OnUpdateTestArea = [] {};
    page->Activate(board);
    host.show();
    ExchangeCounter counter(board);
    page->SetMemoryAccess(&counter);

    // A quiet link: what the drain that opens every exchange costs at the least.
    const int drains = 200;
    const auto drainStart = Clock::now();
    for (int i = 0; i < drains; ++i)
        board.DrainInput();
    const double drainTime = SecondsSince(drainStart) / drains;

    std::printf("Whole SDRAM through the page against the virtual board (drain %.2f ms per exchange)\n",
                drainTime * 1e3);
    auto transfer = [&](const char* what, const std::string& path, bool write) {
        dialogs.next = QString::fromStdString(path);
        counter.exchanges = 0;
        boxes.clear();
        const auto start = Clock::now();
        if (write) {
            page->CheckBoxMemWriteFileLen->setChecked(true);
            page->EditMemWriteAddr->setText("0");
            page->ButtonMemWrite2FMemClick();
        } else {
            page->CheckBoxMemReadEntireMem->setChecked(true);
            page->ButtonMemRead2FileClick();
        }
        const double seconds = SecondsSince(start);
        const double floor = static_cast<double>(counter.exchanges) * drainTime;
        std::printf("  %-30s %6.2f s, %5.1f MiB/s, %llu exchanges, drain floor %.2f s (%.0f %%)\n", what, seconds,
                    SDRAM_BYTES / MIB / seconds, static_cast<unsigned long long>(counter.exchanges), floor,
                    100 * floor / seconds);
        std::printf("    status: %s\n", qPrintable(lastStatus));
        return boxes.empty() && lastStatus.contains("Success");
    };
    check(transfer("write from a raw file", raw, true), "raw write succeeded");
    check(transfer("read into a raw file", folder / "back.bin", false), "raw read succeeded");
    check(SameFiles(raw, folder / "back.bin"), "read back byte-identical");

    std::printf("Peak memory above the idle panel\n");
    const long idle = StatusKb("VmRSS");
    bool peakOk = ResetPeak();
    check(transfer("write from a 128 MiB .HEX file", hex, true), ".HEX write succeeded");
    const double hexReadPeak = (StatusKb("VmHWM") - idle) / 1024.0;
    peakOk = ResetPeak() && peakOk;
    const long idleAgain = StatusKb("VmRSS");
    check(transfer("save the whole memory as .HEX", folder / "back.hex", false), ".HEX save succeeded");
    const double hexSavePeak = (StatusKb("VmHWM") - idleAgain) / 1024.0;
    check(SameFiles(hex, folder / "back.hex"), ".HEX read back identical");
    std::printf("  reading a 128 MiB .HEX file   %6.1f MiB\n", hexReadPeak);
    std::printf("  saving the memory as .HEX     %6.1f MiB\n", hexSavePeak);
    check(peakOk, "peak resident size can be reset");
    check(hexReadPeak <= 160, "reading a 128 MiB .HEX file at most 160 MiB");
    check(hexSavePeak <= 100, "saving the whole memory as .HEX at most 100 MiB");

    page->SetMemoryAccess(nullptr);
    SetStatusInfoSink({});
    platform::SetMessageHandler({});
    SetDialogs(nullptr);
    std::printf("%s\n", passed ? "PASSED" : "FAILED");
    return passed ? 0 : 1;
}
