// Hex cells and decimal number fields, as typed.
#include "fuzzcheck.h"
#include "core/bytetext.h"
#include "core/textfile.h"

#include <cctype>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (const QString &text : {utf16Text(data, size), QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size))}) {
        const quint8 byte = HexCellByte(text);

        bool allHex = !text.isEmpty();
        for (QChar c : text)
            allHex = allHex && c.unicode() < 128 && std::isxdigit(c.unicode());
        if (allHex) {
            QString digits = text;
            while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
                digits.remove(0, 1);
            bool ok = false;
            const qulonglong value = digits.size() <= 8 ? digits.toULongLong(&ok, 16) : 0;
            FUZZ_CHECK(byte == (ok ? quint8(value & 0xFF) : 0));
        } else {
            FUZZ_CHECK(byte == 0);
        }

        if (const auto n = parseDecimalLine(text))
            FUZZ_CHECK(parseDecimalLine(QString::number(*n)) == n);
    }
    return 0;
}
