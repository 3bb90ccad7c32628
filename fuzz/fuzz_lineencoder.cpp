// Transmit text lines with their "$" escapes, in both charsets.
#include "fuzzcheck.h"
#include "core/lineencoder.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const Charset charset = (data[0] & 1) ? Charset::Dos : Charset::Windows;
    const QString text = utf16Text(data + 1, size - 1);
    const QByteArray bytes = EncodeTransmitLine(text, charset);
    FUZZ_CHECK(bytes.size() <= text.size());
    if (!text.contains(QLatin1Char('$')))
        FUZZ_CHECK(bytes.size() == text.toUcs4().size());
    return 0;
}
