// The 16-byte port settings record.
#include "core/settingsfiles.h"
#include "fuzzcheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const auto settings = DecodePortSettingsRecord(bytes);
    FUZZ_CHECK(settings.has_value() == (size >= 16));
    if (settings) {
        FUZZ_CHECK(settings->PortName.size() <= 4);
        const QByteArray record = EncodePortSettingsRecord(*settings);
        FUZZ_CHECK(record.size() == 16);
        FUZZ_CHECK(DecodePortSettingsRecord(record) == settings);
    }
    return 0;
}
