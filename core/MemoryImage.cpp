#include "core/MemoryImage.h"

#include "platform/Notify.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr uint8_t NOT_A_DIGIT = 0xFF;
// Memory bytes turned into text per block when saving a .HEX image: 64 KiB of text at a time.
constexpr size_t HEX_SAVE_BLOCK = 32 * 1024;
// Raw images go to the file in blocks of this size, so that a short write is seen where it happens.
constexpr size_t RAW_SAVE_BLOCK = 1024 * 1024;
// Decoding checks for a stray character once per block instead of once per digit.
constexpr size_t HEX_DECODE_BLOCK = 4096;

constexpr std::array<uint8_t, 256> MakeDigitValues() {
    std::array<uint8_t, 256> values{};
    for (auto& v : values)
        v = NOT_A_DIGIT;
    for (int c = '0'; c <= '9'; ++c)
        values[c] = static_cast<uint8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        values[c] = static_cast<uint8_t>(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c)
        values[c] = static_cast<uint8_t>(c - 'a' + 10);
    return values;
}
constexpr std::array<uint8_t, 256> DIGIT_VALUES = MakeDigitValues();

constexpr std::array<std::array<char, 2>, 256> MakeDigitPairs() {
    constexpr char digits[] = "0123456789ABCDEF";
    std::array<std::array<char, 2>, 256> pairs{};
    for (int b = 0; b < 256; ++b)
        pairs[b] = {digits[b >> 4], digits[b & 0xF]};
    return pairs;
}
constexpr std::array<std::array<char, 2>, 256> DIGIT_PAIRS = MakeDigitPairs();

#if defined(__SSE2__)
// Sixteen digit characters to the eight bytes they spell, stored at out; false when any of them is
// not a hexadecimal digit. Characters from 0x80 up are negative here and fail both ranges.
bool DecodeSixteenDigits(const uint8_t* in, uint8_t* out) {
    const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i lower = _mm_or_si128(text, _mm_set1_epi8(0x20));
    const __m128i isDigit =
        _mm_and_si128(_mm_cmpgt_epi8(text, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(text, _mm_set1_epi8('9' + 1)));
    const __m128i isLetter =
        _mm_and_si128(_mm_cmpgt_epi8(lower, _mm_set1_epi8('a' - 1)), _mm_cmplt_epi8(lower, _mm_set1_epi8('f' + 1)));
    // A letter's low nibble is 9 below its value.
    const __m128i nibbles =
        _mm_add_epi8(_mm_and_si128(text, _mm_set1_epi8(0x0F)), _mm_and_si128(isLetter, _mm_set1_epi8(9)));
    // Per 16-bit lane: the first digit (low byte) becomes the high half, the second the low half.
    const __m128i values =
        _mm_or_si128(_mm_and_si128(_mm_slli_epi16(nibbles, 4), _mm_set1_epi16(0x00F0)), _mm_srli_epi16(nibbles, 8));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(values, values));
    return _mm_movemask_epi8(_mm_or_si128(isDigit, isLetter)) == 0xFFFF;
}
#endif

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool InvalidHex() {
    platform::ShowMessage(platform::MessageKind::Warning, "invalid hex file.");
    return false;
}

// Whether a save may follow the symbolic link, as the kernel's protection of shared folders has it
// (fs.protected_symlinks), whatever the system's setting: in a sticky folder that everyone may write,
// such as /tmp, only a link of this user or of the folder's owner is followed, so that nobody can
// point a name that another user saves to at a file of that user's.
bool MayFollow(const std::filesystem::path& link, const struct stat& linkInfo) {
    const std::filesystem::path folder = link.has_parent_path() ? link.parent_path() : ".";
    struct stat folderInfo {};
    if (stat(folder.c_str(), &folderInfo) != 0)
        return false;
    const bool shared = (folderInfo.st_mode & S_ISVTX) != 0 && (folderInfo.st_mode & S_IWOTH) != 0;
    return !shared || linkInfo.st_uid == geteuid() || linkInfo.st_uid == folderInfo.st_uid;
}

// Where a save puts its bytes: the path with every symbolic link at its end followed, as opening it
// for writing would follow them, so that the file the link points to is the one replaced.
TImageSaveResult FinalTarget(const std::filesystem::path& path, std::filesystem::path& target) {
    // As many links as the kernel follows in one lookup.
    constexpr int MAX_LINKS = 40;
    target = path;
    for (int followed = 0; followed <= MAX_LINKS; ++followed) {
        struct stat info {};
        if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return TImageSaveResult::Ok;
        if (!MayFollow(target, info))
            return TImageSaveResult::UnsafeLink;
        std::error_code error;
        const std::filesystem::path link = std::filesystem::read_symlink(target, error);
        if (error)
            return TImageSaveResult::Failed;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return TImageSaveResult::Failed;
}

// A fresh file beside the target that nobody else uses; empty name, with the error number in failure,
// when none can be made. The name is short whatever the target's, so that a target name near the
// file system's limit still works.
std::string CreateTemporaryBeside(const std::filesystem::path& target, FilePtr& file, int& failure) {
    static unsigned counter = 0;
    const std::filesystem::path folder = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = ".qx7mb-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".part";
        const std::string candidate = (folder / name).string();
        // "x": never open a file that is already there.
        file.reset(std::fopen(candidate.c_str(), "wbx"));
        if (file)
            return candidate;
        failure = errno;
        if (failure != EEXIST)
            break;
    }
    return {};
}

// Whether the user may write the file, asked of the kernel as a write would ask: permissions, access
// lists, a read-only mount. Opening an existing file without truncating it changes nothing.
bool MayWrite(const std::filesystem::path& file) {
    const int fd = open(file.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

// Writes in blocks: ShortWrite as soon as the file takes fewer bytes than given, Stopped when asked
// to stop before a block.
TImageSaveResult WriteWhole(std::FILE* file, const uint8_t* bytes, size_t count, bool hex, const SaveStop& stop) {
    const size_t block = hex ? HEX_SAVE_BLOCK : RAW_SAVE_BLOCK;
    std::vector<char> text(hex ? 2 * HEX_SAVE_BLOCK : 0);
    for (size_t done = 0; done < count;) {
        if (stop && stop())
            return TImageSaveResult::Stopped;
        const size_t n = std::min(block, count - done);
        const void* data = bytes + done;
        size_t size = n;
        if (hex) {
            BytesToHex(bytes + done, n, text.data());
            data = text.data();
            size = 2 * n;
        }
        if (std::fwrite(data, 1, size, file) != size)
            return TImageSaveResult::ShortWrite;
        done += n;
    }
    return TImageSaveResult::Ok;
}

// Gives a replacement the earlier file's owner and group where the user may: root any owner, a user
// any of their own groups. False when it stays the user's own.
bool TakeOverOwnership(int fd, const struct stat& earlier) {
    return fchown(fd, earlier.st_uid, earlier.st_gid) == 0 || fchown(fd, static_cast<uid_t>(-1), earlier.st_gid) == 0;
}

// Writes the image and closes the file; unbuffered, so that a short write is seen by the call that made it.
TImageSaveResult WriteAndClose(FilePtr file, const uint8_t* bytes, size_t count, bool hex, const SaveStop& stop = {}) {
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    TImageSaveResult result = WriteWhole(file.get(), bytes, count, hex, stop);
    if (std::fclose(file.release()) != 0 && result == TImageSaveResult::Ok)
        result = TImageSaveResult::Failed;
    return result;
}

// Writes the image over a file the user may write in a folder that takes no new file, where it is.
// Room for the whole image is reserved first, so that a full disk or a file size limit fails the save
// before the earlier content is touched.
TImageSaveResult SaveInPlace(const std::filesystem::path& target, const uint8_t* bytes, size_t count, bool hex) {
    const off_t size = static_cast<off_t>(hex ? 2 * count : count);
    // The size limit also stops writes within a file's present length.
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        static_cast<rlim_t>(size) > limit.rlim_cur)
        return TImageSaveResult::Failed;
    const int fd = open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return TImageSaveResult::Failed;
    // Not posix_fallocate: where the file system cannot reserve (NFSv3, many FUSE mounts) it falls back
    // to reading the file, which a write-only descriptor refuses. There the size limit checked above
    // is all that is known beforehand.
    const bool reserved = size == 0 || fallocate(fd, 0, 0, size) == 0 || errno == EOPNOTSUPP;
    if (!reserved || ftruncate(fd, size) != 0) {
        close(fd);
        return TImageSaveResult::Failed;
    }
    FilePtr file(fdopen(fd, "wb"));
    if (!file) {
        close(fd);
        return TImageSaveResult::Failed;
    }
    return WriteAndClose(std::move(file), bytes, count, hex);
}

// Writes the image into a device or a pipe. A pipe without a reader fails at once instead of waiting
// for one, and a reader that goes away fails the save instead of ending the program with SIGPIPE.
TImageSaveResult SaveToDevice(const std::filesystem::path& target, const uint8_t* bytes, size_t count, bool hex) {
    const int fd = open(target.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return TImageSaveResult::Failed;
    FilePtr file(fdopen(fd, "wb"));
    if (!file || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        if (!file)
            close(fd);
        return TImageSaveResult::Failed;
    }
    // SIGPIPE is held back from this thread while it writes, and one that the write raised is taken.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
    sigset_t pendingBefore;
    sigpending(&pendingBefore);
    const TImageSaveResult result = WriteAndClose(std::move(file), bytes, count, hex);
    if (!sigismember(&pendingBefore, SIGPIPE)) {
        const timespec now{0, 0};
        while (sigtimedwait(&pipeSignal, nullptr, &now) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return result;
}

} // namespace

bool IsHexImageName(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.size() - dot != 4)
        return false;
    std::string extension = name.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension == ".HEX";
}

void BytesToHex(const uint8_t* bytes, size_t count, char* text) {
    size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: split into halves, interleave high and low, add '0' and 7 more above 9.
    for (; i + 16 <= count; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const __m128i low = _mm_and_si128(block, _mm_set1_epi8(0x0F));
        const __m128i high = _mm_and_si128(_mm_srli_epi16(block, 4), _mm_set1_epi8(0x0F));
        for (int half = 0; half < 2; ++half) {
            const __m128i nibbles = half == 0 ? _mm_unpacklo_epi8(high, low) : _mm_unpackhi_epi8(high, low);
            const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(nibbles, _mm_set1_epi8(9)), _mm_set1_epi8(7));
            const __m128i digits = _mm_add_epi8(_mm_add_epi8(nibbles, _mm_set1_epi8('0')), letters);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(text + 2 * i + 16 * half), digits);
        }
    }
#endif
    for (; i < count; ++i)
        std::memcpy(text + 2 * i, DIGIT_PAIRS[bytes[i]].data(), 2);
}

std::string BytesToHex(const uint8_t* bytes, size_t count) {
    std::string text(2 * count, '\0');
    BytesToHex(bytes, count, text.data());
    return text;
}

bool HexToBytes(uint8_t* buffer, size_t count) {
    const size_t pairs = count / 2;
    size_t w = 0;
    while (w < pairs) {
        const size_t end = std::min(pairs, w + HEX_DECODE_BLOCK);
        bool valid = true;
#if defined(__SSE2__)
        // Sixteen digits at a time; the eight bytes written stay behind the input still to be read.
        for (; w + 8 <= end; w += 8)
            valid &= DecodeSixteenDigits(buffer + 2 * w, buffer + w);
#endif
        uint8_t stray = 0;
        for (; w < end; ++w) {
            const uint8_t high = DIGIT_VALUES[buffer[2 * w]];
            const uint8_t low = DIGIT_VALUES[buffer[2 * w + 1]];
            stray |= static_cast<uint8_t>(high | low);
            buffer[w] = static_cast<uint8_t>(high << 4 | (low & 0xF));
        }
        if (!valid || (stray & 0xF0) != 0)
            return InvalidHex();
    }
    if (count % 2 != 0) {
        const uint8_t high = DIGIT_VALUES[buffer[count - 1]];
        if (high == NOT_A_DIGIT)
            return InvalidHex();
        buffer[pairs] = static_cast<uint8_t>(high << 4);
    }
    return true;
}

TImageLoadResult LoadMemoryImage(const std::string& path, bool wholeFile, uint64_t lengthBytes, uint64_t roomBytes,
                                 std::vector<uint8_t>& data) {
    // Opened without waiting, so that a pipe without a writer cannot hang the caller; only a plain
    // file is an image (a folder, a pipe or a device is not).
    const int fd = open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0)
            close(fd);
        return TImageLoadResult::OpenFailed;
    }
    FilePtr file(fdopen(fd, "rb"));
    if (!file) {
        close(fd);
        return TImageLoadResult::OpenFailed;
    }
    std::error_code error;
    const uint64_t fileSize = std::filesystem::file_size(path, error);
    if (error)
        return TImageLoadResult::ReadError;

    const bool hex = IsHexImageName(path);
    // Characters of the file per memory byte.
    const uint64_t scale = hex ? 2 : 1;
    uint64_t toRead;
    uint64_t size;
    if (wholeFile) {
        toRead = fileSize;
        size = hex ? toRead + toRead % 2 : toRead;
        if (size > roomBytes * scale)
            size = toRead = roomBytes * scale;
    } else {
        size = toRead = lengthBytes * scale;
        if (fileSize < size)
            return TImageLoadResult::ShorterThanLength;
    }

    // An odd number of digits is completed with "0", the low half of the last byte.
    data.assign(size, hex ? '0' : 0);
    if (std::fread(data.data(), 1, toRead, file.get()) != toRead)
        return TImageLoadResult::ReadError;
    file.reset();
    if (hex) {
        if (!HexToBytes(data.data(), size))
            return TImageLoadResult::InvalidHex;
        data.resize((size + 1) / 2);
    }
    return TImageLoadResult::Ok;
}

TImageSaveResult SaveMemoryImage(const std::string& path, const uint8_t* bytes, size_t count, const SaveStop& stop) {
    const bool hex = IsHexImageName(path);
    std::filesystem::path target;
    if (const TImageSaveResult found = FinalTarget(path, target); found != TImageSaveResult::Ok)
        return found;
    struct stat earlier {};
    const bool replacing = stat(target.c_str(), &earlier) == 0;
    if (replacing && S_ISDIR(earlier.st_mode))
        return TImageSaveResult::Failed;
    // A device or a pipe takes the bytes where it is: there is no earlier file to keep, and a rename
    // would put a plain file in its place.
    if (replacing && !S_ISREG(earlier.st_mode))
        return SaveToDevice(target, bytes, count, hex);
    // A file the user may not write is refused as opening it for writing would refuse it; the rename
    // below needs only the folder's permission and would replace it all the same.
    if (replacing && !MayWrite(target))
        return TImageSaveResult::Failed;

    FilePtr file;
    int failure = 0;
    const std::string temporary = CreateTemporaryBeside(target, file, failure);
    if (temporary.empty()) {
        // The folder refuses a new file, but the file itself may be written.
        if (replacing && (failure == EACCES || failure == EPERM))
            return SaveInPlace(target, bytes, count, hex);
        return TImageSaveResult::Failed;
    }
    TImageSaveResult result = TImageSaveResult::Ok;
    // The replacement keeps the earlier file's permissions, set after the owner (which clears some of
    // them); the open file stays writable whatever they are.
    if (replacing) {
        TakeOverOwnership(fileno(file.get()), earlier);
        if (fchmod(fileno(file.get()), earlier.st_mode & 01777) != 0)
            result = TImageSaveResult::Failed;
    }
    if (result == TImageSaveResult::Ok)
        result = WriteAndClose(std::move(file), bytes, count, hex, stop);
    file.reset(); // still open when it was not written
    std::error_code error;
    if (result == TImageSaveResult::Ok) {
        // Another hard link to the earlier file keeps the earlier content: replacing the file whole is
        // what keeps it intact when a save fails.
        std::filesystem::rename(temporary, target, error);
        if (error)
            result = TImageSaveResult::Failed;
    }
    if (result != TImageSaveResult::Ok)
        std::filesystem::remove(temporary, error);
    return result;
}
