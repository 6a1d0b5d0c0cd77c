#include "vboard/ControlProtocol.h"

#include "board/Protocol.h"

#include <charconv>
#include <cstdio>
#include <sstream>
#include <vector>

namespace vboard {

namespace {

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

// "verb rest": the first word and everything after the blank that follows it.
void SplitVerb(const std::string& line, std::string& verb, std::string& rest) {
    const std::size_t space = line.find(' ');
    verb = line.substr(0, space);
    rest = space == std::string::npos ? std::string() : line.substr(space + 1);
}

bool ParseUnsigned(const std::string& text, int base, uint32_t& value) {
    if (text.empty())
        return false;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, base);
    return error == std::errc() && end == last;
}

// Decimal, or hexadecimal written with 0x.
bool ParseNumber(const std::string& text, uint32_t& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseUnsigned(text.substr(2), 16, value);
    return ParseUnsigned(text, 10, value);
}

// Hexadecimal, with or without 0x.
bool ParseHex(const std::string& text, uint32_t& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseUnsigned(text.substr(2), 16, value);
    return ParseUnsigned(text, 16, value);
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& bytes) {
    if (text.empty() || text.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        uint32_t byte = 0;
        if (!ParseUnsigned(text.substr(i, 2), 16, byte))
            return false;
        bytes.push_back(static_cast<uint8_t>(byte));
    }
    return true;
}

std::string Hex(const uint8_t* bytes, std::size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        text.push_back(digits[bytes[i] >> 4]);
        text.push_back(digits[bytes[i] & 0xF]);
    }
    return text;
}

// "ok", or the broken lines: "stuck:BIT:VALUE", "alias:BIT", or both joined by '+'.
std::string SdramLinesText(const SdramLineFaults& lines) {
    std::string text;
    if (lines.stuckDataBit >= 0)
        text = "stuck:" + std::to_string(lines.stuckDataBit) + (lines.stuckHigh ? ":1" : ":0");
    if (lines.ignoredAddressBit >= 0)
        text += (text.empty() ? "alias:" : "+alias:") + std::to_string(lines.ignoredAddressBit);
    return text.empty() ? "ok" : text;
}

std::string Error(const std::string& reason) {
    return "error: " + reason;
}

} // namespace

std::string ControlProtocol::Execute(const std::string& line) {
    if (line.size() > MAX_LINE_LEN)
        return Error("line longer than 8192 characters");
    for (const char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return Error("control character in line");
    }
    std::string verb;
    std::string rest;
    SplitVerb(line, verb, rest);
    if (verb == "configure")
        return Configure(rest);
    if (verb == "state") {
        if (!rest.empty())
            return Error("usage: state");
        return StateLine(board.Snapshot());
    }
    if (verb == "key")
        return Key(rest);
    if (verb == "switch")
        return Switch(rest);
    if (verb == "sd")
        return Sd(rest);
    if (verb == "mem")
        return Mem(rest);
    if (verb == "fault")
        return Fault(rest);
    if (verb == "reset") {
        if (!rest.empty())
            return Error("usage: reset");
        board.Reset();
        return "ok reset";
    }
    if (verb.empty())
        return Error("empty line");
    return Error("unknown command '" + verb + "'");
}

std::string ControlProtocol::StateLine(const BoardSnapshot& s) {
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, "leds=0x%03X hex=0x%06X keys=0x%X switches=0x%03X", s.leds, s.digits, s.keys,
                  s.switches);
    return std::string("ok configured=") + (s.configured ? "1" : "0") +
           " design=" + (s.design.empty() ? "-" : s.design) + " link=" + (s.linkOpen ? "open" : "closed") + " " +
           numbers + " sd=" + s.sdProfile +
           " vga=" + (s.vgaPattern == Firmware::NO_PATTERN ? "-" : std::to_string(s.vgaPattern)) +
           " sdram=" + SdramLinesText(s.sdramFaults);
}

std::string ControlProtocol::Configure(const std::string& path) {
    if (path.empty())
        return Error("usage: configure PATH");
    std::string design;
    std::string error;
    if (!board.Configure(path, design, error))
        return Error(error);
    return "ok configured " + design;
}

std::string ControlProtocol::Key(const std::string& args) {
    const auto words = Words(args);
    uint32_t index = 0;
    if (words.size() != 2 || !ParseNumber(words[0], index) || index >= KEY_COUNT ||
        (words[1] != "down" && words[1] != "up"))
        return Error("usage: key N down|up, N from 0 to " + std::to_string(KEY_COUNT - 1));
    const bool down = words[1] == "down";
    board.Change([&](Firmware& f) { f.keys = down ? f.keys | 1u << index : f.keys & ~(1u << index); });
    return "ok key " + std::to_string(index) + " " + words[1];
}

std::string ControlProtocol::Switch(const std::string& args) {
    const auto words = Words(args);
    uint32_t index = 0;
    if (words.size() != 2 || !ParseNumber(words[0], index) || index >= SWITCH_COUNT ||
        (words[1] != "on" && words[1] != "off"))
        return Error("usage: switch N on|off, N from 0 to " + std::to_string(SWITCH_COUNT - 1));
    const bool on = words[1] == "on";
    board.Change([&](Firmware& f) { f.switches = on ? f.switches | 1u << index : f.switches & ~(1u << index); });
    return "ok switch " + std::to_string(index) + " " + words[1];
}

std::string ControlProtocol::Sd(const std::string& args) {
    const auto words = Words(args);
    SdCard card;
    if (words.size() == 1 && SdCard::FromProfile(words[0], card)) {
        board.Change([&](Firmware& f) { f.card = card; });
        return "ok sd " + card.profile;
    }
    if (words.size() == 4 && words[0] == "custom") {
        std::vector<uint8_t> csd;
        std::vector<uint8_t> cid;
        uint32_t fs = 0;
        if (!ParseHexBytes(words[1], csd) || csd.size() != 16 || !ParseHexBytes(words[2], cid) || cid.size() != 16 ||
            !ParseNumber(words[3], fs) || fs > 0xFF)
            return Error("usage: sd custom CSD CID FS (32 hex digits each, FS from 0 to 255)");
        card.present = true;
        card.profile = "custom";
        std::copy(csd.begin(), csd.end(), card.csd.begin());
        std::copy(cid.begin(), cid.end(), card.cid.begin());
        card.fileSystem = static_cast<uint8_t>(fs);
        // A version 2.0 CSD is what a high-capacity card carries.
        card.highCapacity = (card.csd[0] & 0xC0) == 0x40;
        board.Change([&](Firmware& f) { f.card = card; });
        return "ok sd custom";
    }
    return Error("usage: sd none|sdsc|sdhc|unformatted|custom CSD CID FS");
}

std::string ControlProtocol::Mem(const std::string& args) {
    const auto words = Words(args);
    uint32_t address = 0;
    if (words.size() == 3 && words[0] == "read") {
        uint32_t count = 0;
        if (!ParseHex(words[1], address) || !ParseNumber(words[2], count) || count == 0 || count > MAX_MEM_READ)
            return Error("usage: mem read ADDR COUNT (ADDR hexadecimal, COUNT from 1 to 4096)");
        if (!Sdram::InRange(address, count))
            return Error("range outside the 64 MiB SDRAM");
        std::vector<uint8_t> bytes(count);
        board.Inspect([&](const Firmware& f) { f.sdram.Read(address, bytes.data(), count); });
        return "ok " + Hex(bytes.data(), bytes.size());
    }
    if (words.size() >= 3 && words[0] == "write") {
        std::vector<uint8_t> bytes;
        bool valid = ParseHex(words[1], address);
        for (std::size_t i = 2; valid && i < words.size(); ++i)
            valid = ParseHexBytes(words[i], bytes);
        if (!valid)
            return Error("usage: mem write ADDR HEX... (hexadecimal address and bytes)");
        const auto count = static_cast<uint32_t>(bytes.size());
        if (!Sdram::InRange(address, count))
            return Error("range outside the 64 MiB SDRAM");
        bool written = false;
        board.Change([&](Firmware& f) { written = f.sdram.Write(address, bytes.data(), count); });
        if (!written)
            return Error("out of memory");
        return "ok wrote " + std::to_string(count);
    }
    return Error("usage: mem read ADDR COUNT | mem write ADDR HEX...");
}

std::string ControlProtocol::Fault(const std::string& args) {
    std::string kind;
    std::string rest;
    SplitVerb(args, kind, rest);
    const auto words = Words(rest);
    if (kind == "name") {
        if (rest == "off") {
            board.Change([](Firmware& f) { f.faults.nameOverride = false; });
            return "ok fault name off";
        }
        if (rest.empty() || rest.size() > 32)
            return Error("usage: fault name TEXT|off (TEXT of 1 to 32 characters)");
        board.Change([&](Firmware& f) {
            f.faults.nameOverride = true;
            f.faults.name = rest;
        });
        return "ok fault name " + rest;
    }
    if (kind == "silent" || kind == "vgaprobe") {
        if (words.size() != 1 || (words[0] != "on" && words[0] != "off"))
            return Error("usage: fault " + kind + " on|off");
        const bool on = words[0] == "on";
        board.Change([&](Firmware& f) { (kind == "silent" ? f.faults.silent : f.faults.refuseVgaProbe) = on; });
        return "ok fault " + kind + " " + words[0];
    }
    if (kind == "delay" || kind == "flood") {
        uint32_t value = 0;
        const uint32_t limit = kind == "delay" ? MAX_DELAY_MS : MAX_FLOOD;
        if (words.size() != 1 || !ParseNumber(words[0], value) || value > limit)
            return Error("usage: fault " + kind + " N, N from 0 to " + std::to_string(limit));
        board.Change([&](Firmware& f) { (kind == "delay" ? f.faults.delayMs : f.faults.floodBytes) = value; });
        return "ok fault " + kind + " " + std::to_string(value);
    }
    if (kind == "sdram")
        return SdramFault(words);
    if ((kind == "checksum" || kind == "echo" || kind == "drop" || kind == "clear") && rest.empty()) {
        if (kind == "drop")
            board.RequestDrop();
        else if (kind == "clear")
            board.Change([](Firmware& f) { f.faults = Faults{}; });
        else
            board.Change(
                [&](Firmware& f) { (kind == "checksum" ? f.faults.wrongChecksum : f.faults.wrongEcho) = true; });
        return "ok fault " + kind;
    }
    return Error("usage: fault name|silent|delay|checksum|echo|flood|drop|vgaprobe|sdram|clear ...");
}

std::string ControlProtocol::SdramFault(const std::vector<std::string>& words) {
    uint32_t bit = 0;
    uint32_t value = 0;
    if (words.size() == 3 && words[0] == "stuck" && ParseNumber(words[1], bit) && bit <= 7 &&
        ParseNumber(words[2], value) && value <= 1) {
        board.Change([&](Firmware& f) {
            f.faults.sdram.stuckDataBit = static_cast<int>(bit);
            f.faults.sdram.stuckHigh = value == 1;
        });
        return "ok fault sdram stuck " + std::to_string(bit) + " " + std::to_string(value);
    }
    if (words.size() == 2 && words[0] == "alias" && ParseNumber(words[1], bit) && bit <= 25) {
        board.Change([&](Firmware& f) { f.faults.sdram.ignoredAddressBit = static_cast<int>(bit); });
        return "ok fault sdram alias " + std::to_string(bit);
    }
    if (words.size() == 1 && words[0] == "off") {
        board.Change([](Firmware& f) { f.faults.sdram = {}; });
        return "ok fault sdram off";
    }
    return Error("usage: fault sdram stuck BIT 0|1 (BIT from 0 to 7) | fault sdram alias BIT (BIT from 0 to 25) | "
                 "fault sdram off");
}

} // namespace vboard
