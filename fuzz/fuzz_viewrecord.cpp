// The 48-byte view settings record.
#include "core/settingsfiles.h"
#include "fuzzcheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const auto view = DecodeViewSettingsRecord(bytes);
    FUZZ_CHECK(view.has_value() == (size >= 48));
    if (view) {
        const QByteArray record = EncodeViewSettingsRecord(*view);
        FUZZ_CHECK(record.size() == 48);
        FUZZ_CHECK(record.mid(4) == bytes.sliced(4, 44).toByteArray());
        FUZZ_CHECK(DecodeViewSettingsRecord(record) == view);
    }
    return 0;
}
