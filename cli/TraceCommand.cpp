// The command trace: a JTAG trace ($QX7MB_TRACE) decoded, frame by frame. It reaches no board.
#include "board/JtagTrace.h"
#include "board/Protocol.h"
#include "board/TraceDecoder.h"
#include "cli/CommandTable.h"
#include "cli/Commands.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <ctime>

namespace cli {

namespace {

using jtagtrace::TraceEvent;
using Type = TraceEvent::Type;

double Ms(uint64_t ns) {
    return static_cast<double>(ns) / 1e6;
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string Bytes(const std::vector<uint8_t>& bytes, uint32_t count) {
    std::string text;
    for (uint8_t byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, " %02X", byte);
        text += pair;
    }
    return text + (count > bytes.size() ? " ..." : "");
}

uint32_t Word(const std::vector<uint8_t>& bytes, std::size_t at) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
        value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
    return value;
}

std::string Name(uint8_t command) {
    const char* name = CommandName(command);
    return name != nullptr ? name : "unknown command";
}

std::string Wall(uint64_t ns) {
    const time_t seconds = static_cast<time_t>(ns / 1000000000u);
    tm local{};
    localtime_r(&seconds, &local);
    char text[40];
    const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + n, sizeof text - n, ".%03u", static_cast<unsigned>(ns / 1000000u % 1000u));
    return text;
}

// What a frame's first payload bytes say: a request's arguments, a reply's status.
std::string Detail(const TraceEvent& frame) {
    const std::vector<uint8_t>& p = frame.sample;
    if (frame.fromBoard) {
        if (p.empty())
            return "";
        std::string text = "status " + std::to_string(p[0]);
        if (frame.command == CMD_QUERY_BOARD_NAME && p.size() > 1) {
            const auto end = std::find(p.begin() + 1, p.end(), 0);
            text += " \"" + std::string(p.begin() + 1, end) + "\"";
        }
        return text;
    }
    const bool memory = frame.command == CMD_MEMORY_WRITE || frame.command == CMD_MEMORY_READ;
    if (memory && p.size() >= MEM_WRITE_HEADER_LEN) {
        const std::string type = p[0] == MEM_TYPE_SDRAM  ? "SDRAM"
                                 : p[0] == MEM_TYPE_EPCS ? "EPCS"
                                                         : "type " + std::to_string(p[0]);
        const uint32_t n = frame.command == CMD_MEMORY_WRITE ? frame.length - MEM_WRITE_HEADER_LEN : Word(p, 5);
        return type + " " + Hex(Word(p, 1), 7) + ", " + std::to_string(n) + " bytes";
    }
    if (frame.command == CMD_SET_LEDS && p.size() >= 4)
        return "mask " + Hex(Word(p, 0), 3);
    if (frame.command == CMD_SET_SEVEN_SEGMENT && p.size() >= 4)
        return "digits " + Hex(Word(p, 0), 6);
    if (frame.command == CMD_SEND_CONTROL && p.size() >= 3)
        return "target " + std::to_string(p[0]) + ", operation " + std::to_string(p[1]) + ", value " +
               std::to_string(p[2]);
    return "";
}

std::string Line(const TraceEvent& event) {
    const std::string from = event.fromBoard ? "board  " : "host   ";
    switch (event.type) {
    case Type::Opened:
        return "       opened";
    case Type::OpenFailed:
        return "       open FAILED";
    case Type::Closed:
        return "       closed";
    case Type::Frame: {
        char head[64];
        std::snprintf(head, sizeof head, "%-20s 0x%02X  length %5u  ", Name(event.command).c_str(), event.command,
                      event.length);
        std::string text = from + head;
        text += event.checksum == TraceEvent::Checksum::Ok
                    ? "checksum ok"
                    : "checksum BAD (" + Hex(event.checksumByte, 2) + ", the bytes sum to " + Hex(event.sum, 2) + ")";
        const std::string detail = Detail(event);
        if (!detail.empty())
            text += "  " + detail;
        if (event.replyAfter >= 0)
            text += Format("  reply after %.3f ms", Ms(static_cast<uint64_t>(event.replyAfter)));
        return text;
    }
    case Type::Incomplete:
        return from + "INCOMPLETE " + (event.bytes > 1 ? Name(event.command) + " " : "") +
               "frame: " + std::to_string(event.bytes) +
               (event.bytes >= PKT_HEAD_LEN ? " of " + std::to_string(event.length + PKT_OVERHEAD) : "") + " bytes";
    case Type::Stray:
        return from + "STRAY " + std::to_string(event.bytes) +
               " bytes outside any frame:" + Bytes(event.sample, event.bytes);
    case Type::NotRecorded:
        return from + std::to_string(event.bytes) + " bytes outside any frame, not kept by the trace";
    case Type::Gap:
        return "       GAP of " + Format("%.3f ms", Ms(event.duration)) + " without bytes (" +
               std::to_string(event.bytes) + " empty reads)";
    case Type::WriteRefused:
        return "host   write of " + std::to_string(event.bytes) + " bytes REFUSED by the library";
    }
    return "";
}

const char* TypeName(Type type) {
    switch (type) {
    case Type::Opened:
        return "opened";
    case Type::OpenFailed:
        return "open failed";
    case Type::Closed:
        return "closed";
    case Type::Frame:
        return "frame";
    case Type::Incomplete:
        return "incomplete";
    case Type::Stray:
        return "stray";
    case Type::NotRecorded:
        return "not recorded";
    case Type::Gap:
        return "gap";
    case Type::WriteRefused:
        return "write refused";
    }
    return "";
}

nlohmann::json Json(const TraceEvent& event, uint64_t opened) {
    nlohmann::json object = {{"time_ms", Ms(event.time - opened)}, {"type", TypeName(event.type)}};
    if (event.type == Type::Frame || event.type == Type::Incomplete) {
        object["from"] = event.fromBoard ? "board" : "host";
        object["command"] = event.command;
        object["name"] = CommandName(event.command) != nullptr ? nlohmann::json(CommandName(event.command)) : nullptr;
        object["length"] = event.length;
    }
    if (event.type == Type::Frame) {
        object["checksum"] = event.checksum == TraceEvent::Checksum::Ok ? "ok" : "bad";
        object["detail"] = Detail(event);
        if (event.replyAfter >= 0)
            object["reply_after_ms"] = Ms(static_cast<uint64_t>(event.replyAfter));
    } else if (event.type == Type::Gap) {
        object["duration_ms"] = Ms(event.duration);
        object["empty_reads"] = event.bytes;
    } else if (event.type != Type::Opened && event.type != Type::OpenFailed && event.type != Type::Closed) {
        object["from"] = event.fromBoard ? "board" : "host";
        object["bytes"] = event.bytes;
    }
    return object;
}

} // namespace

static CommandResult RunTrace(ToolSession& session) {
    const ToolRequest& request = session.Request();
    jtagtrace::TraceFile file;
    std::string error;
    if (!jtagtrace::ReadTrace(request.file, file, error))
        return CommandResult::Failure(EXIT_USAGE, error);
    const jtagtrace::TraceDecoding decoding =
        jtagtrace::DecodeTrace(file, static_cast<uint64_t>(request.gap) * 1000000u);

    struct Totals {
        uint32_t frames = 0, bad = 0, incomplete = 0, stray = 0, notRecorded = 0, gaps = 0;
    } totals;
    CommandResult result;
    result.fields["file"] = request.file;
    result.fields["links"] = nlohmann::json::array();
    for (std::size_t i = 0; i < decoding.links.size(); ++i) {
        const jtagtrace::TraceLink& link = decoding.links[i];
        std::string header = "link " + std::to_string(i + 1) + ": board " + std::to_string(link.device) + ", " +
                             (link.edition.empty() ? "edition unknown" : link.edition) + ", process " +
                             std::to_string(link.process) + ", handle " + std::to_string(link.handle);
        if (link.wallClock != 0)
            header += ", opened " + Wall(link.wallClock);
        session.Print(header);
        session.Print("   time (ms)  from   what");
        nlohmann::json events = nlohmann::json::array();
        for (const TraceEvent& event : link.events) {
            session.Print(Format("%12.3f  ", Ms(event.time - link.opened)) + Line(event));
            events.push_back(Json(event, link.opened));
            totals.frames += event.type == Type::Frame ? 1 : 0;
            totals.bad += event.type == Type::Frame && event.checksum == TraceEvent::Checksum::Bad ? 1 : 0;
            totals.incomplete += event.type == Type::Incomplete ? 1 : 0;
            totals.stray += event.type == Type::Stray ? event.bytes : 0;
            totals.notRecorded += event.type == Type::NotRecorded ? event.bytes : 0;
            totals.gaps += event.type == Type::Gap ? 1 : 0;
        }
        result.fields["links"].push_back({{"process", link.process},
                                          {"handle", link.handle},
                                          {"board", link.device},
                                          {"edition", link.edition},
                                          {"opened", link.wallClock != 0 ? Wall(link.wallClock) : ""},
                                          {"events", events}});
    }
    if (decoding.full)
        session.Print("The trace reached its size limit: what came later was not recorded.");
    if (decoding.truncated)
        session.Print("The trace ends inside a record: the rest of the file is not a trace.");
    session.Print(std::to_string(totals.frames) + " frames, " + std::to_string(totals.bad) + " with a bad checksum, " +
                  std::to_string(totals.incomplete) + " incomplete; " + std::to_string(totals.stray) +
                  " stray bytes; " + std::to_string(totals.notRecorded) + " bytes outside frames not kept; " +
                  std::to_string(totals.gaps) + " gaps of " + std::to_string(request.gap) + " ms or more");
    result.fields["summary"] = {
        {"frames", totals.frames},     {"bad_checksums", totals.bad},        {"incomplete", totals.incomplete},
        {"stray_bytes", totals.stray}, {"not_recorded", totals.notRecorded}, {"gaps", totals.gaps}};
    result.fields["complete"] = !decoding.full && !decoding.truncated;
    return result;
}

static const char* const TRACE_FOOTER =
    R"(With QX7MB_TRACE=FILE in its environment, any program that uses VELDARA_JTAG.DLL (the panel, qx7mb,
either edition) appends every write and read of the JTAG link to FILE, with its time. This command
lists each link of FILE and on it, in time order: each frame with its command, payload length,
checksum verdict and arguments or status, a reply with the time since its request; bytes outside
any frame (STRAY), frames cut short (INCOMPLETE), writes the library refused, and pauses (GAP).
Reads that moved nothing are counted, not listed. The trace keeps calls of up to 256 bytes whole
and of longer ones the first 64 and last 32 bytes and the sum of the rest; it stops growing at
64 MiB. The board is not reached.)";

static std::string TraceOptions(CLI::App& command, ToolRequest& request) {
    Positional(command, "FILE", request.file, "the trace");
    command.add_option("--gap", request.gap, "mark pauses of at least MS without bytes (default 200)")
        ->type_name("MS")
        ->check(CLI::PositiveNumber.description(""));
    return TRACE_FOOTER;
}

extern const ToolCommand TRACE_COMMAND{"trace", "decode a JTAG trace that QX7MB_TRACE recorded", TraceOptions,
                                       RunTrace};

} // namespace cli
