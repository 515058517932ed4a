// Arbitrary 896-byte records, as read from a device or a file, through the info-box texts
// and the grid's path shortening. A byte after the record picks the grid row.
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "tune/metadata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    TuneMetadata table[16];
    memset(table, 0xFF, sizeof table);
    int row = size > sizeof(TuneMetadata) ? 1 + data[sizeof(TuneMetadata)] % 16 : 1;
    memcpy(&table[row - 1], data, size < sizeof(TuneMetadata) ? size : sizeof(TuneMetadata));
    const TuneMetadata& record = table[row - 1];

    // The longest text the fields allow: labels and breaks, at most 255 + 11 + 63 + 511
    // characters of the record, and the short numbers.
    const size_t longest = 1100;
    char text[kInfoTextSize];
    BuildDeviceInfoText(table, row, text, sizeof text);
    FUZZ_CHECK(strlen(text) <= longest);
    FUZZ_CHECK(HasMetadataMagic(record) || strcmp(text, "<Unrecognized metadata>") == 0);
    FormatFileInfoText(1, record, text, sizeof text);
    FUZZ_CHECK(strlen(text) <= longest);

    // Small boxes and cells cut, never overrun.
    char small[40];
    BuildDeviceInfoText(table, row, small, 1 + data[0] % sizeof small);
    char cell[kShortPathLength + 1];
    int shortened = ShortenPathForDisplay(record.originalPath, sizeof record.originalPath, cell, sizeof cell);
    FUZZ_CHECK(strlen(cell) == (shortened ? size_t(kShortPathLength) : FieldLength(record.originalPath, 256)));
    return 0;
}
