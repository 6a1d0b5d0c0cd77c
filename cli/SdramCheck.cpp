#include "cli/SdramCheck.h"

#include "board/Protocol.h"
#include "cli/Numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <iterator>

namespace cli {

namespace {

constexpr uint32_t DATA_PROBE_ADDRESS = 0;
constexpr int DATA_BITS = 8;
// SDRAM_SIZE is 2^26: address bits 0 to 25.
constexpr int ADDRESS_BITS = std::countr_zero(SDRAM_SIZE);
// A march's failures kept to name the address line that explains them.
constexpr std::size_t KEPT_FAILURES = 16;

std::string Join(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : "; ") + part;
    return text;
}

// Per data bit: read 1 where 0 was written (high), read 0 where 1 was (low).
struct BitErrors {
    std::array<uint64_t, DATA_BITS> high{};
    std::array<uint64_t, DATA_BITS> low{};

    void Add(uint8_t wrote, uint8_t read) {
        for (int bit = 0; bit < DATA_BITS; ++bit) {
            const bool w = (wrote >> bit) & 1;
            const bool r = (read >> bit) & 1;
            high[bit] += !w && r;
            low[bit] += w && !r;
        }
    }

    std::string Words() const {
        std::vector<std::string> words;
        for (int bit = 0; bit < DATA_BITS; ++bit) {
            const std::string name = "data bit " + std::to_string(bit);
            if (high[bit] != 0 && low[bit] == 0)
                words.push_back(name + " stuck at 1");
            else if (low[bit] != 0 && high[bit] == 0)
                words.push_back(name + " stuck at 0");
            else if (high[bit] != 0)
                words.push_back(name + " does not hold its value");
        }
        return Join(words);
    }

    // Whether every wrong bit went one way only, as stuck data lines make it.
    bool OneWayOnly() const {
        for (int bit = 0; bit < DATA_BITS; ++bit) {
            if (high[bit] != 0 && low[bit] != 0)
                return false;
        }
        return true;
    }
};

// The value's low bits spread over the set bits of mask, lowest first.
uint8_t Deposit(uint32_t value, uint8_t mask) {
    uint8_t out = 0;
    for (int bit = 0; bit < DATA_BITS; ++bit) {
        if ((mask >> bit) & 1) {
            out |= static_cast<uint8_t>((value & 1) << bit);
            value >>= 1;
        }
    }
    return out;
}

SdramCheck::Finding LinkFailure(SdramCheck::Finding finding) {
    finding.outcome = SdramCheck::Outcome::LinkFailed;
    finding.reading = "the link failed";
    return finding;
}

// Whether a transfer of the march ended it before it was done: the link failed or Ctrl-C came.
bool EndedEarly(MemoryTransfer::Outcome outcome, SdramCheck::Finding& finding) {
    if (outcome == MemoryTransfer::Outcome::Done)
        return false;
    if (outcome == MemoryTransfer::Outcome::BoardFailed) {
        finding = LinkFailure(finding);
    } else {
        finding.outcome = SdramCheck::Outcome::Interrupted;
        finding.reading = "interrupted";
    }
    return true;
}

} // namespace

std::string DescribeDataBits(const std::vector<ByteProbe>& probes) {
    BitErrors errors;
    for (const ByteProbe& probe : probes)
        errors.Add(probe.wrote, probe.read);
    return errors.Words();
}

uint8_t SoundDataBits(const std::vector<ByteProbe>& probes) {
    uint8_t wrong = 0;
    for (const ByteProbe& probe : probes)
        wrong |= probe.wrote ^ probe.read;
    return static_cast<uint8_t>(~wrong);
}

std::string DescribeAlias(uint32_t address, uint32_t writtenAt) {
    const uint32_t lines = address ^ writtenAt;
    const std::string aliases = Hex(std::max(address, writtenAt)) + " aliases " + Hex(std::min(address, writtenAt));
    const int low = std::countr_zero(lines);
    if (std::popcount(lines) == 1)
        return "address bit " + std::to_string(low) + " shorted: " + aliases;
    const int high = 31 - std::countl_zero(lines);
    return "address bits " + std::to_string(low) + " and " + std::to_string(high) + " shorted: " + aliases;
}

nlohmann::json SdramCheck::Finding::Json() const {
    nlohmann::json json = {{"test", test}, {"passed", outcome == Outcome::Passed}};
    if (outcome != Outcome::Passed) {
        json["address"] = address;
        json["expected"] = expected;
        json["read"] = read;
        json["bits"] = expected ^ read;
        json["failures"] = failures;
        json["reading"] = reading;
    }
    return json;
}

std::string SdramCheck::Finding::Line() const {
    if (outcome == Outcome::Passed)
        return test + ": passed";
    if (outcome != Outcome::Failed)
        return test + ": " + reading;
    return test + ": at " + Hex(address) + " wrote " + Hex(expected, 2) + ", read " + Hex(read, 2) + " (bits " +
           Hex(expected ^ read, 2) + " differ; " + std::to_string(failures) + " wrong): " + reading;
}

bool SdramCheck::WriteByte(uint32_t address, uint8_t value) {
    return board.MemoryWrite(MEM_TYPE_SDRAM, address, &value, 1);
}

bool SdramCheck::ReadByte(uint32_t address, uint8_t& value) {
    return board.MemoryRead(MEM_TYPE_SDRAM, address, &value, 1);
}

SdramCheck::Finding SdramCheck::DataLines() {
    Finding finding("data lines");
    std::vector<ByteProbe> probes;
    for (int bit = 0; bit < DATA_BITS; ++bit) {
        const auto one = static_cast<uint8_t>(1u << bit);
        for (const uint8_t value : {one, static_cast<uint8_t>(~one)}) {
            ByteProbe probe{DATA_PROBE_ADDRESS, value, 0};
            if (!WriteByte(probe.address, value) || !ReadByte(probe.address, probe.read))
                return LinkFailure(finding);
            probes.push_back(probe);
        }
    }
    soundBits = SoundDataBits(probes);
    for (const ByteProbe& probe : probes) {
        if (probe.read == probe.wrote)
            continue;
        if (finding.failures++ == 0) {
            finding.outcome = Outcome::Failed;
            finding.address = probe.address;
            finding.expected = probe.wrote;
            finding.read = probe.read;
        }
    }
    finding.reading = DescribeDataBits(probes);
    return finding;
}

SdramCheck::Finding SdramCheck::AddressLines() {
    Finding finding("address lines");
    std::vector<uint32_t> offsets = {0};
    for (int bit = 0; bit < ADDRESS_BITS; ++bit)
        offsets.push_back(1u << bit);
    // Each address gets its own marker in the data bits that work.
    if (static_cast<std::size_t>(std::popcount(soundBits)) < std::bit_width(offsets.size())) {
        finding.outcome = Outcome::Failed;
        finding.reading = "not tried: too few data lines work";
        return finding;
    }
    std::vector<uint8_t> markers;
    for (std::size_t i = 0; i < offsets.size(); ++i)
        markers.push_back(Deposit(static_cast<uint32_t>(i + 1), soundBits));
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        if (!WriteByte(offsets[i], markers[i]))
            return LinkFailure(finding);
    }
    std::vector<std::string> readings;
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        uint8_t read = 0;
        if (!ReadByte(offsets[i], read))
            return LinkFailure(finding);
        if ((read & soundBits) == markers[i])
            continue;
        const auto other = std::find(markers.begin(), markers.end(), static_cast<uint8_t>(read & soundBits));
        const std::string reading = other != markers.end() ? DescribeAlias(offsets[i], offsets[other - markers.begin()])
                                                           : Hex(offsets[i]) + " holds a value no address was given";
        if (std::find(readings.begin(), readings.end(), reading) == readings.end())
            readings.push_back(reading);
        if (finding.failures++ == 0) {
            finding.outcome = Outcome::Failed;
            finding.address = offsets[i];
            finding.expected = markers[i];
            finding.read = read;
        }
    }
    finding.reading = Join(readings);
    return finding;
}

SdramCheck::Finding SdramCheck::March(uint32_t size,
                                      const std::function<ProgressBar(const std::string&, uint64_t)>& progress) {
    Finding finding("march over " + std::to_string(size >> 20) + " MiB");
    std::vector<uint8_t> image(size);
    for (uint32_t address = 0; address < size; ++address)
        image[address] = MarchByte(address);
    BitErrors errors;
    std::vector<ByteProbe> kept;
    for (const bool complement : {false, true}) {
        if (complement) {
            for (uint8_t& byte : image)
                byte = static_cast<uint8_t>(~byte);
        }
        const std::string label = complement ? "march complement" : "march pattern";
        {
            ProgressBar bar = progress(label + " write", size);
            const auto outcome = transfer.Write(0, image.data(), size, bar);
            bar.Finish();
            if (EndedEarly(outcome, finding))
                return finding;
        }
        ProgressBar bar = progress(label + " read", size);
        const auto outcome = transfer.Read(
            0, size,
            [&](uint32_t offset, const uint8_t* bytes, uint32_t count) {
                for (uint32_t i = 0; i < count; ++i) {
                    const uint8_t expected = image[offset + i];
                    if (bytes[i] == expected)
                        continue;
                    errors.Add(expected, bytes[i]);
                    if (kept.size() < KEPT_FAILURES)
                        kept.push_back({offset + i, expected, bytes[i]});
                    ++finding.failures;
                }
            },
            bar);
        bar.Finish();
        if (EndedEarly(outcome, finding))
            return finding;
    }
    if (kept.empty())
        return finding;
    finding.outcome = Outcome::Failed;
    finding.address = kept.front().address;
    finding.expected = kept.front().wrote;
    finding.read = kept.front().read;
    // Failures in the data bits the data-line test found faulty are explained by them.
    std::vector<ByteProbe> unexplained;
    std::copy_if(kept.begin(), kept.end(), std::back_inserter(unexplained),
                 [&](const ByteProbe& probe) { return ((probe.wrote ^ probe.read) & soundBits) != 0; });
    if (unexplained.empty()) {
        finding.reading = errors.Words();
        return finding;
    }
    // A cell that holds what another address was given names the address line between them. The pass
    // a probe comes from shows in what it wrote.
    for (int bit = 0; bit < ADDRESS_BITS; ++bit) {
        const uint32_t line = 1u << bit;
        const bool explains = std::all_of(unexplained.begin(), unexplained.end(), [&](const ByteProbe& probe) {
            const uint32_t other = probe.address ^ line;
            const uint8_t pass = probe.wrote ^ MarchByte(probe.address);
            return other < size && ((MarchByte(other) ^ pass ^ probe.read) & soundBits) == 0;
        });
        if (explains) {
            const uint32_t address = unexplained.front().address;
            finding.reading = DescribeAlias(address, address ^ line);
            return finding;
        }
    }
    if (errors.OneWayOnly()) {
        finding.reading = errors.Words();
        return finding;
    }
    finding.reading = "cells do not hold their values";
    return finding;
}

} // namespace cli
