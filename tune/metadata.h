// The 896-byte record stored with every tune: where the tune came from, when it was
// uploaded, and the user's version, summary and description texts. It sits at image offset
// 0x31C00, in the first 8 KB of quarter 3, outside every bank body, so it travels with the
// image to the device and back.
//
// A record read from a device or a file is untrusted: a text field need not hold a NUL, so
// every reader takes at most the field's size less one characters.
#pragma once
#include <cstddef>
#include <cstdint>

#include "tune/tune_image.h"

// 100-ns ticks since 1601-01-01 UTC, stored as two little-endian halves.
struct FileTime {
    uint32_t lowDateTime;
    uint32_t highDateTime;
};

struct TuneMetadata {
    uint8_t magic[4];  // "6TVK"
    uint32_t originalSize;
    BankOrder bankOrder;
    char originalPath[256];
    FileTime uploadTime;
    uint8_t reserved[32];  // never written: keeps what the image held
    char summary[64];
    char version[12];
    char description[512];
};

static_assert(sizeof(TuneMetadata) == 896, "the record is 896 bytes");
static_assert(offsetof(TuneMetadata, originalPath) == 12, "record layout");
static_assert(offsetof(TuneMetadata, uploadTime) == 268, "record layout");
static_assert(offsetof(TuneMetadata, summary) == 308, "record layout");
static_assert(offsetof(TuneMetadata, version) == 372, "record layout");
static_assert(offsetof(TuneMetadata, description) == 384, "record layout");
#if defined(__BYTE_ORDER__)
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "stored numbers are little-endian");
#endif

enum : uint32_t {
    kMetadataOffset = 0x31C00,  // in the image; on the device, position * 0x40000 + this
    kMetadataMagic = 0x4B565436,
};

bool HasMetadataMagic(const TuneMetadata& record);
// A text is present when its first byte is neither 0x00 nor 0xFF (erased devices read 0xFF).
bool RecordTextPresent(const char* field);
// Neither all 0x00 nor all 0xFF.
bool UploadTimePresent(const FileTime& time);
// A path whose first character is not an ASCII letter counts as no path: a record read from
// the device has that first character cleared before it is shown.
void ClearPathWithoutLetter(TuneMetadata* record);
// Characters of a field up to its NUL, never more than fieldSize - 1.
size_t FieldLength(const char* field, size_t fieldSize);

// Writes magic, size, bank order, path (cut to 255 characters) and the current time;
// leaves the reserved bytes and the three texts as they were. 0 for a null record.
int StampMetadata(TuneMetadata* record, const char* path, uint32_t originalSize, BankOrder bankOrder);

// Returns 1 when the file could be opened and read. Only when the file has a recognised
// size (or is a whole 256 KB image) and its image carries the magic is *recordOut written;
// otherwise it is left as it was.
int LoadTuneMetadataFromFile(const char* path, TuneMetadata* recordOut);

// Paths in grid cells: a path of 56 or more characters becomes "..." and its last 52.
// pathSize bounds the source (a record's field need not hold a NUL). Returns 1 when it
// shortened. The result is cut to outSize.
int ShortenPathForDisplay(const char* path, size_t pathSize, char* out, size_t outSize);
enum { kShortPathLength = 55 };

// The texts of the device tune info box and the file info box, as the box holds them after
// the window has appended them (CR LF between lines). Every text fits kInfoTextSize.
enum { kInfoTextSize = 2048 };
// Grid row 1..16 shows the record of position row - 1; other rows give "".
void BuildDeviceInfoText(const TuneMetadata deviceMetadata[16], int row, char* out, size_t outSize);
// The file info box for a position's file: loads its record with LoadTuneMetadataFromFile.
void BuildFileInfoText(const char* path, char* out, size_t outSize);
// The same from a load's outcome: loadResult 0 is a file that could not be read; a record
// without the magic is a file without metadata.
void FormatFileInfoText(int loadResult, const TuneMetadata& record, char* out, size_t outSize);
