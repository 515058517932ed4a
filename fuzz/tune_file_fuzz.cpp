// Tune files of every recognised size built from the input, through the recogniser and the
// file metadata loader.
//
// Input: a selector byte, then up to four parts. The low nibble picks the file size (one of
// the forms, or the raw input as the file); bit 4 puts the parts at the record's place of a
// 64 KB or 256 KB file instead of at the start of each quarter of the file.
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tune/metadata.h"

static const uint32_t kSizes[] = {24576, 32768, 57344, 65536, 0x16000, 0x1C000, 0x36000, 0x38000, 0x40000};
static const uint32_t kSizeCount = sizeof kSizes / sizeof kSizes[0];

static std::vector<uint8_t> BuildFile(const uint8_t* data, size_t size)
{
    uint8_t selector = data[0];
    const uint8_t* rest = data + 1;
    size_t restSize = size - 1;
    uint32_t form = selector & 0x0F;
    if (form >= kSizeCount)
        return std::vector<uint8_t>(rest, rest + restSize);
    std::vector<uint8_t> file(kSizes[form], uint8_t(selector & 0x20 ? 0xFF : 0x00));
    if ((selector & 0x10) && (file.size() == 65536 || file.size() == kTuneImageSize)) {
        size_t at = file.size() == 65536 ? 0x1C00 : kMetadataOffset;
        memcpy(file.data() + at, rest, restSize < file.size() - at ? restSize : file.size() - at);
        return file;
    }
    size_t quarter = file.size() / 4, part = restSize / 4;
    for (size_t k = 0; k < 4 && part != 0; ++k)
        memcpy(file.data() + k * quarter, rest + k * part, part < quarter ? part : quarter);
    return file;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static ScratchFile scratch("tune.bin");
    static std::unique_ptr<TuneImage> image(new TuneImage);
    std::vector<uint8_t> file = BuildFile(data, size);

    BankOrder order = kBankOrderUnknown;
    memset(image->bytes, 0x5A, kTuneImageSize);
    int recognised = RecogniseTuneFile(file.data(), uint32_t(file.size()), image->bytes, kTuneImageSize, &order);
    bool known = false;
    for (uint32_t s : kSizes)
        known = known || s == file.size();
    FUZZ_CHECK(!recognised || known);
    if (!known)
        FUZZ_CHECK(order == kBankOrderUnknown && image->bytes[0] == 0x5A);
    if (file.size() == kTuneImageSize)
        FUZZ_CHECK(memcmp(image->bytes, file.data(), kTuneImageSize) == 0);

    if (!WriteScratch(scratch.path, file.data(), file.size()))
        return 0;
    TuneMetadata record;
    memset(&record, 0, sizeof record);
    FUZZ_CHECK(LoadTuneMetadataFromFile(scratch.path.c_str(), &record) == 1);
    char text[kInfoTextSize];
    FormatFileInfoText(1, record, text, sizeof text);
    FUZZ_CHECK(strlen(text) < sizeof text);
    return 0;
}
