// The SDRAM commands: mem read, mem write (with --verify) and mem verify. Every range and file is
// checked, and an image to write or compare is loaded whole, before the board is reached.
#include "board/Protocol.h"
#include "cli/CommandTable.h"
#include "cli/Commands.h"
#include "cli/ImageComparison.h"
#include "cli/MemoryTransfer.h"
#include "cli/Numbers.h"
#include "core/MemoryImage.h"
#include "platform/Clock.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <unistd.h>
#include <vector>

namespace cli {

namespace {

namespace fs = std::filesystem;

bool ParseAddress(const std::string& text, uint64_t& address, std::string& error) {
    if (!ParseNumber(text, true, address, error)) {
        error = "ADDR " + error;
        return false;
    }
    if (address >= SDRAM_SIZE) {
        error = "ADDR " + Hex(address) + " lies past the end of the 64 MiB SDRAM (its last byte is " +
                Hex(SDRAM_SIZE - 1) + ")";
        return false;
    }
    return true;
}

bool CheckRange(uint64_t address, uint64_t count, std::string& error) {
    // Compared without a sum, which a huge count would wrap.
    if (count <= SDRAM_SIZE && address <= SDRAM_SIZE - count)
        return true;
    error = std::to_string(count) + " bytes from " + Hex(address) + " run past the end of the 64 MiB SDRAM (" +
            Hex(SDRAM_SIZE) + ")";
    return false;
}

// The image to write or compare, loaded whole; a usage failure when it is missing, malformed or does
// not fit the SDRAM from the address on.
std::optional<CommandResult> LoadImage(ToolSession& session, uint64_t address, std::vector<uint8_t>& data) {
    const std::string& file = session.Request().file;
    std::error_code error;
    if (!fs::is_regular_file(file, error))
        return CommandResult::Failure(EXIT_USAGE, "no such file: " + file);
    const uint64_t fileSize = fs::file_size(file, error);
    if (error)
        return CommandResult::Failure(EXIT_USAGE, "cannot read " + file + ": " + error.message());
    const bool hex = IsHexImageName(file);
    std::string reason;
    if (!CheckRange(address, hex ? (fileSize + 1) / 2 : fileSize, reason))
        return CommandResult::Failure(EXIT_USAGE, file + ": " + reason);
    session.Messages().Hold();
    const TImageLoadResult loaded = LoadMemoryImage(file, true, 0, SDRAM_SIZE - address, data);
    const std::vector<std::string> messages = session.Messages().Release();
    switch (loaded) {
    case TImageLoadResult::Ok:
        return std::nullopt;
    case TImageLoadResult::InvalidHex:
        return CommandResult::Failure(
            EXIT_USAGE, file + ": " + (messages.empty() ? std::string("invalid hex file.") : messages[0]) +
                            " A .HEX image holds two hexadecimal digits per byte and nothing else.");
    case TImageLoadResult::OpenFailed:
        return CommandResult::Failure(EXIT_USAGE, "cannot open " + file);
    default:
        return CommandResult::Failure(EXIT_USAGE, "Read file(" + file + ") error.");
    }
}

// What a write and a verify do before their transfer: the address, the image, the connection.
std::optional<CommandResult> Prepare(ToolSession& session, uint64_t& address, std::vector<uint8_t>& image) {
    std::string error;
    if (!ParseAddress(session.Request().address, address, error))
        return CommandResult::Failure(EXIT_USAGE, error);
    if (auto refused = LoadImage(session, address, image))
        return refused;
    if (!session.Connect(error))
        return CommandResult::Failure(EXIT_BOARD, error);
    return std::nullopt;
}

std::string Seconds(uint32_t startTick) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", static_cast<uint32_t>(platform::GetTickCount() - startTick) / 1000.0);
    return text;
}

// A transfer that did not run to its end: how far it came.
CommandResult Unfinished(MemoryTransfer::Outcome outcome, const MemoryTransfer& transfer, uint32_t count,
                         const std::string& what, nlohmann::json fields) {
    fields["done"] = transfer.Done();
    const std::string progress = std::to_string(transfer.Done()) + " of " + std::to_string(count) + " bytes";
    if (outcome == MemoryTransfer::Outcome::Interrupted)
        return CommandResult::Failure(EXIT_INTERRUPTED, what + " interrupted after " + progress, std::move(fields));
    return CommandResult::Failure(EXIT_BOARD, what + " failed after " + progress, std::move(fields));
}

// Reads the range back and compares it with the image: exit code 3 with the first differing address
// and the number of differing bytes when they differ.
CommandResult Compare(ToolSession& session, uint32_t address, const std::vector<uint8_t>& image, CommandResult result) {
    const auto count = static_cast<uint32_t>(image.size());
    MemoryTransfer transfer(session.Board(), session.Context().interruption);
    ImageComparison comparison(image.data());
    const uint32_t start = platform::GetTickCount();
    MemoryTransfer::Outcome outcome;
    {
        ProgressBar bar = session.Progress("mem verify", count);
        outcome = transfer.Read(
            address, count,
            [&comparison](uint32_t offset, const uint8_t* bytes, uint32_t n) { comparison.Compare(offset, bytes, n); },
            bar);
    }
    if (outcome != MemoryTransfer::Outcome::Done)
        return Unfinished(outcome, transfer, count, "verify", std::move(result.fields));
    result.fields["differences"] = comparison.Differences();
    if (comparison.Differences() == 0) {
        session.Print("verified " + std::to_string(count) + " bytes from " + Hex(address, 7) + " against " +
                      session.Request().file + " (" + Seconds(start) + "): the same");
        return result;
    }
    const uint32_t first = address + comparison.FirstDifference();
    result.fields["first_difference"] = first;
    result.exitCode = EXIT_DIFFERS;
    result.error = std::to_string(comparison.Differences()) + " of " + std::to_string(count) + " bytes differ from " +
                   session.Request().file + ", the first at " + Hex(first, 7);
    return result;
}

nlohmann::json RangeFields(const ToolSession& session, uint64_t address, uint64_t count) {
    return {{"address", address}, {"bytes", count}, {"file", session.Request().file}};
}

} // namespace

static CommandResult RunMemRead(ToolSession& session) {
    const ToolRequest& request = session.Request();
    uint64_t address = 0;
    uint64_t length = 0;
    std::string error;
    if (!ParseAddress(request.address, address, error))
        return CommandResult::Failure(EXIT_USAGE, error);
    if (!ParseNumber(request.length, true, length, error))
        return CommandResult::Failure(EXIT_USAGE, "LENGTH " + error);
    if (length == 0)
        return CommandResult::Failure(EXIT_USAGE, "LENGTH must be at least 1 byte");
    if (!CheckRange(address, length, error))
        return CommandResult::Failure(EXIT_USAGE, error);
    // Found out now rather than after the whole transfer.
    std::error_code ignored;
    if (fs::is_directory(request.file, ignored))
        return CommandResult::Failure(EXIT_USAGE, request.file + " is a folder");
    const std::string folder = fs::path(request.file).parent_path().string();
    if (!fs::is_directory(folder, ignored))
        return CommandResult::Failure(EXIT_USAGE, "no such folder: " + folder);
    // The image is put in place through a file beside it.
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        return CommandResult::Failure(EXIT_USAGE, "cannot write in " + folder);

    if (!session.Connect(error))
        return CommandResult::Failure(EXIT_BOARD, error);
    const auto count = static_cast<uint32_t>(length);
    std::vector<uint8_t> data(count);
    MemoryTransfer transfer(session.Board(), session.Context().interruption);
    const uint32_t start = platform::GetTickCount();
    MemoryTransfer::Outcome outcome;
    {
        ProgressBar bar = session.Progress("mem read", count);
        outcome = transfer.Read(static_cast<uint32_t>(address), count, data.data(), bar);
    }
    nlohmann::json fields = RangeFields(session, address, count);
    if (outcome != MemoryTransfer::Outcome::Done) {
        CommandResult result = Unfinished(outcome, transfer, count, "read", std::move(fields));
        result.error += "; " + request.file + " was not written";
        return result;
    }
    TImageSaveResult saved;
    {
        // Ctrl-C during the save gives it up with its temporary file removed.
        ArmedInterruption armed(session.Context().interruption);
        Interruption& interruption = session.Context().interruption;
        saved = SaveMemoryImage(request.file, data.data(), data.size(),
                                [&interruption] { return interruption.Requested(); });
    }
    switch (saved) {
    case TImageSaveResult::Ok:
        break;
    case TImageSaveResult::ShortWrite:
        return CommandResult::Failure(EXIT_BOARD, "Write file(" + request.file + ") error.", std::move(fields));
    case TImageSaveResult::Failed:
        return CommandResult::Failure(EXIT_BOARD, "cannot write " + request.file, std::move(fields));
    case TImageSaveResult::UnsafeLink:
        return CommandResult::Failure(EXIT_BOARD,
                                      "not writing " + request.file +
                                          ": it is a symbolic link of another user in a folder that everyone may write",
                                      std::move(fields));
    case TImageSaveResult::Stopped:
        return CommandResult::Failure(
            EXIT_INTERRUPTED, "read interrupted while saving; " + request.file + " was not written", std::move(fields));
    }
    session.Print("read " + std::to_string(count) + " bytes from " + Hex(address, 7) + " to " + request.file + " (" +
                  Seconds(start) + ")");
    return {EXIT_OK, {}, std::move(fields)};
}

static CommandResult RunMemWrite(ToolSession& session) {
    uint64_t address = 0;
    std::vector<uint8_t> image;
    if (auto failed = Prepare(session, address, image))
        return *failed;
    const auto count = static_cast<uint32_t>(image.size());
    MemoryTransfer transfer(session.Board(), session.Context().interruption);
    const uint32_t start = platform::GetTickCount();
    MemoryTransfer::Outcome outcome;
    {
        ProgressBar bar = session.Progress("mem write", count);
        outcome = transfer.Write(static_cast<uint32_t>(address), image.data(), count, bar);
    }
    CommandResult result{EXIT_OK, {}, RangeFields(session, address, count)};
    if (outcome != MemoryTransfer::Outcome::Done)
        return Unfinished(outcome, transfer, count, "write", std::move(result.fields));
    session.Print("wrote " + std::to_string(count) + " bytes from " + session.Request().file + " to " +
                  Hex(address, 7) + " (" + Seconds(start) + ")");
    if (!session.Request().verify)
        return result;
    return Compare(session, static_cast<uint32_t>(address), image, std::move(result));
}

static CommandResult RunMemVerify(ToolSession& session) {
    uint64_t address = 0;
    std::vector<uint8_t> image;
    if (auto failed = Prepare(session, address, image))
        return *failed;
    return Compare(session, static_cast<uint32_t>(address), image,
                   {EXIT_OK, {}, RangeFields(session, address, image.size())});
}

static const char* const MEMORY_FOOTER =
    R"(ADDR and LENGTH are bytes: decimal or 0x hexadecimal, optionally followed by K (x1024) or
M (x1048576). The range must lie within the 64M bytes of SDRAM. A FILE named *.hex (any case) is a
.HEX image (two hexadecimal digits per byte, no blanks or line breaks); any other is raw. A range
past the SDRAM's end, a missing file or a malformed .HEX file is refused before anything is sent.)";

static std::string MemOptions(CLI::App&, ToolRequest&) {
    return MEMORY_FOOTER;
}

static std::string MemReadOptions(CLI::App& command, ToolRequest& request) {
    Positional(command, "ADDR", request.address, "the first byte");
    Positional(command, "LENGTH", request.length, "the number of bytes");
    Positional(command, "FILE", request.file, "the file to write (replaced only once all of it is read)");
    return MEMORY_FOOTER;
}

static std::string MemWriteOptions(CLI::App& command, ToolRequest& request) {
    Positional(command, "ADDR", request.address, "where the file's first byte goes");
    Positional(command, "FILE", request.file, "the image to write, all of it");
    command.add_flag("--verify", request.verify, "read the bytes back and compare them (exit code 3 on a difference)");
    return MEMORY_FOOTER;
}

static std::string MemVerifyOptions(CLI::App& command, ToolRequest& request) {
    Positional(command, "ADDR", request.address, "where the file's first byte should be");
    Positional(command, "FILE", request.file, "the image to compare with");
    return "Reports the first differing address and the number of differing bytes; exit code 3 when any\n"
           "differ. " +
           std::string(MEMORY_FOOTER);
}

extern const ToolCommand MEM_COMMAND{"mem", "move bytes between the SDRAM and files", MemOptions, nullptr};
extern const ToolCommand MEM_READ_COMMAND{"mem read", "copy SDRAM bytes to a file", MemReadOptions, RunMemRead};
extern const ToolCommand MEM_WRITE_COMMAND{"mem write", "copy a file into the SDRAM", MemWriteOptions, RunMemWrite};
extern const ToolCommand MEM_VERIFY_COMMAND{"mem verify", "compare the SDRAM with a file", MemVerifyOptions,
                                            RunMemVerify};

} // namespace cli
