// The strings file; the first byte picks the port name of the record.
#include "core/settingsfiles.h"
#include "fuzzcheck.h"
#include "core/bytetext.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t nameLength = std::min<size_t>(data[0] % 5, size - 1);
    const QString recordName = cp1251Decode(QByteArrayView(data + 1, qsizetype(nameLength)));
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1 + nameLength), qsizetype(size - 1 - nameLength));

    const StringsFileContent content = ParseStringsFile(bytes, recordName);
    FUZZ_CHECK(content.lines.size() == 10);
    FUZZ_CHECK(content.fullPortName.isEmpty() || content.fullPortName.startsWith(recordName));
    if (content.commands)
        FUZZ_CHECK(content.commands->size() <= std::max<qsizetype>(kMaxCommandRows, (bytes.size() + 1) / 2));
    if (!content.commands || content.commands->size() <= 1024)
        FUZZ_CHECK(ParseStringsFile(SerializeStringsFile(content), recordName) == content);
    return 0;
}
