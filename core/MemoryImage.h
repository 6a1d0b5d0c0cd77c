#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The two memory image formats of the memory page. A raw image is the memory bytes in ascending
// address order and nothing else. A .HEX image is text with two hexadecimal digits per byte, high
// digit first, without separators, line breaks, addresses or checksum.

// Whether the file name's extension (from its last dot on), in upper case, is ".HEX".
bool IsHexImageName(const std::string& path);

// Two uppercase digits per byte into text, which takes 2 * count characters.
void BytesToHex(const uint8_t* bytes, size_t count, char* text);
std::string BytesToHex(const uint8_t* bytes, size_t count);

// Decodes count characters in place: (count + 1) / 2 bytes from the start of the buffer, an odd last
// digit being the high half of a byte whose low half is 0. Any character that is not a hexadecimal
// digit shows the warning "invalid hex file." and gives false; the buffer is then of no further use.
bool HexToBytes(uint8_t* buffer, size_t count);

enum class TImageLoadResult {
    Ok,
    OpenFailed,        // the file cannot be opened, or is a folder
    ShorterThanLength, // an explicit length asks for more than the file holds
    ReadError,         // fewer bytes arrived than the file's size promised
    InvalidHex,        // the .HEX text holds a character that is not a digit (already shown)
};

// Loads the image to be written to memory from path, raw or .HEX by its name. With wholeFile the
// whole file is taken, cut without notice to roomBytes memory bytes; otherwise exactly lengthBytes
// memory bytes are taken from the start of the file. data receives the memory bytes.
TImageLoadResult LoadMemoryImage(const std::string& path, bool wholeFile, uint64_t lengthBytes, uint64_t roomBytes,
                                 std::vector<uint8_t>& data);

enum class TImageSaveResult {
    Ok,
    ShortWrite, // the file took fewer bytes than given
    Failed,     // it could not be created, closed or put in place
    UnsafeLink, // the name is another user's symbolic link in a shared sticky folder: not followed
    Stopped,    // asked to stop before it was whole
};

// Asked between blocks of a save: true to give the save up, with nothing of it left behind.
using SaveStop = std::function<bool()>;

// Saves count memory bytes to path, raw or .HEX by its name. The image is written to a temporary
// file in the same folder and put in place only when it is whole, so a failed save leaves any earlier
// file of that name as it was. Saving over a file follows symbolic links to the file they name and
// keeps its permissions; a file the user may not write is refused as creating it would be. The file
// is replaced whole, so another hard link to it keeps the earlier content. A device or a pipe takes
// the bytes where it is, and so does a file the user may write in a folder that takes no new file,
// once room for the whole image is reserved. A symbolic link in a sticky folder that everyone may
// write is followed only when it is this user's or the folder owner's. A pipe is written only while
// it has a reader. .HEX text is produced block by block, never whole. stop, when given, can end a
// save through a temporary file between blocks.
TImageSaveResult SaveMemoryImage(const std::string& path, const uint8_t* bytes, size_t count,
                                 const SaveStop& stop = {});
