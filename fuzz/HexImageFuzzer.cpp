// The memory page's image formats: .HEX text decoding in place against a plain reference decoder, the
// encoding read back, and the loading of an image file (raw or .HEX by its name, whole or a given
// length, cut to the room in memory) against what its rules say it holds.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/ScratchFolder.h"
#include "core/MemoryImage.h"
#include "platform/Notify.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

int warnings = 0;

int DigitValue(uint8_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The bytes the digits spell, an odd last digit the high half; nothing for a stray character.
std::optional<std::vector<uint8_t>> Decode(const uint8_t* text, std::size_t count) {
    std::vector<uint8_t> bytes((count + 1) / 2, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const int digit = DigitValue(text[i]);
        if (digit < 0)
            return std::nullopt;
        bytes[i / 2] |= static_cast<uint8_t>(i % 2 == 0 ? digit << 4 : digit);
    }
    return bytes;
}

void DecodeInPlace(const std::vector<uint8_t>& text) {
    // A buffer of exactly the text's size, so that a read or write past it is caught.
    const auto buffer = std::make_unique<uint8_t[]>(text.size() + (text.empty() ? 1 : 0));
    std::copy(text.begin(), text.end(), buffer.get());
    warnings = 0;
    const bool ok = HexToBytes(buffer.get(), text.size());
    const auto expected = Decode(text.data(), text.size());
    FUZZ_CHECK(ok == expected.has_value());
    FUZZ_CHECK(warnings == (ok ? 0 : 1));
    if (ok)
        FUZZ_CHECK(std::equal(expected->begin(), expected->end(), buffer.get()));
}

void EncodeAndDecode(const std::vector<uint8_t>& bytes) {
    std::string text = BytesToHex(bytes.data(), bytes.size());
    FUZZ_CHECK(text.size() == 2 * bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        static const char digits[] = "0123456789ABCDEF";
        FUZZ_CHECK(text[2 * i] == digits[bytes[i] >> 4] && text[2 * i + 1] == digits[bytes[i] & 0xF]);
    }
    FUZZ_CHECK(HexToBytes(reinterpret_cast<uint8_t*>(text.data()), text.size()));
    FUZZ_CHECK(text.compare(0, bytes.size(), reinterpret_cast<const char*>(bytes.data()), bytes.size()) == 0);
}

void LoadFile(FuzzedDataProvider& in) {
    struct Name {
        const char* text;
        bool hex;
    };
    static const Name names[] = {{"image.hex", true},  {"image.HEX", true}, {"image.Hex", true},
                                 {"image.bin", false}, {"image", false},    {"image.hexx", false}};
    const Name& name = names[in.ConsumeIntegralInRange<std::size_t>(0, std::size(names) - 1)];
    const bool wholeFile = in.ConsumeBool();
    const auto length = in.ConsumeIntegralInRange<uint64_t>(0, 2048);
    const auto room = in.ConsumeIntegralInRange<uint64_t>(0, 2048);
    const std::vector<uint8_t> content = in.ConsumeRemainingBytes<uint8_t>();
    const std::string path = fuzzsupport::ScratchFolder() + "/" + name.text;
    fuzzsupport::WriteWholeFile(path, content);

    std::vector<uint8_t> data;
    const TImageLoadResult result = LoadMemoryImage(path, wholeFile, length, room, data);

    const bool hex = name.hex;
    FUZZ_CHECK(IsHexImageName(path) == hex);
    const uint64_t scale = hex ? 2 : 1;
    if (!wholeFile && content.size() < length * scale) {
        FUZZ_CHECK(result == TImageLoadResult::ShorterThanLength);
        return;
    }
    const std::size_t taken = wholeFile ? std::min<uint64_t>(content.size(), room * scale) : length * scale;
    if (!hex) {
        FUZZ_CHECK(result == TImageLoadResult::Ok);
        FUZZ_CHECK(data == std::vector<uint8_t>(content.begin(), content.begin() + static_cast<long>(taken)));
        return;
    }
    const auto expected = Decode(content.data(), taken);
    FUZZ_CHECK(result == (expected ? TImageLoadResult::Ok : TImageLoadResult::InvalidHex));
    if (expected)
        FUZZ_CHECK(data == *expected);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::SetMessageHandler([](platform::MessageKind, const std::string&) { ++warnings; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
        DecodeInPlace(in.ConsumeRemainingBytes<uint8_t>());
        break;
    case 1:
        EncodeAndDecode(in.ConsumeRemainingBytes<uint8_t>());
        break;
    case 2:
        LoadFile(in);
        break;
    }
    return 0;
}
