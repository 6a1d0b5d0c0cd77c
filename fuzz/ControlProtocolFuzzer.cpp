// The board server's control lines: any lines against a board, fresh or configured. Every reply is
// one line, "ok" or "error: " and a reason, and a line refused with an error changes nothing of the
// board: its state, faults, card and SDRAM are as before. "configure" finds a valid, a foreign and a
// corrupt bitstream in the working folder.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/ScratchFolder.h"
#include "vboard/Bitstream.h"
#include "vboard/ControlProtocol.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int MAX_LINES = 12;

// Everything a control line may change, in one comparable text.
std::string Fingerprint(const vboard::VirtualBoard& board) {
    std::string text = vboard::ControlProtocol::StateLine(board.Snapshot());
    board.Inspect([&](const vboard::Firmware& f) {
        const vboard::Faults& x = f.faults;
        text += " faults=" + std::to_string(x.nameOverride) + x.name + "/" + std::to_string(x.silent) +
                std::to_string(x.delayMs) + "/" + std::to_string(x.wrongChecksum) + std::to_string(x.wrongEcho) +
                std::to_string(x.floodBytes) + std::to_string(x.refuseVgaProbe);
        text += " card=" + std::to_string(f.card.present) + std::to_string(f.card.fileSystem) +
                std::to_string(f.card.highCapacity);
        text.append(f.card.csd.begin(), f.card.csd.end());
        text.append(f.card.cid.begin(), f.card.cid.end());
        text += " pages=" + std::to_string(f.sdram.PagesInUse());
    });
    return text;
}

bool WellFormed(const std::string& reply) {
    for (const char c : reply) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    }
    return reply == "ok" || reply.rfind("ok ", 0) == 0 || (reply.rfind("error: ", 0) == 0 && reply.size() > 7);
}

void WriteBitstream(const std::string& name, const std::string& design, bool spoil) {
    vboard::Bitstream bitstream;
    bitstream.design = design;
    bitstream.payload.assign(64, 0x3C);
    std::vector<uint8_t> bytes = bitstream.Encode();
    if (spoil)
        bytes[bytes.size() / 2] ^= 1;
    fuzzsupport::WriteWholeFile(fuzzsupport::ScratchFolder() + "/" + name, bytes);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    WriteBitstream("good.sof", vboard::Bitstream::CONTROL_PANEL_DESIGN, false);
    WriteBitstream("other.sof", "Blinky", false);
    WriteBitstream("bad.sof", vboard::Bitstream::CONTROL_PANEL_DESIGN, true);
    std::filesystem::current_path(fuzzsupport::ScratchFolder());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    vboard::VirtualBoard board(in.ConsumeBool());
    vboard::ControlProtocol protocol(board);
    const std::string text = in.ConsumeRemainingBytesAsString();
    std::size_t start = 0;
    for (int i = 0; i < MAX_LINES && start <= text.size(); ++i) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;

        const std::string before = Fingerprint(board);
        const std::string reply = protocol.Execute(line);
        FUZZ_CHECK(WellFormed(reply));
        if (reply.rfind("error: ", 0) == 0)
            FUZZ_CHECK(Fingerprint(board) == before);
        board.TakeDropRequest();
    }
    return 0;
}
