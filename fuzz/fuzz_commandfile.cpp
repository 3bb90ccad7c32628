// Command files and the text-line reader under them.
#include "fuzzcheck.h"
#include "core/commandfile.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    TextLineReader reader(bytes);
    qsizetype total = 0;
    while (!reader.atEnd()) {
        const QString line = reader.next();
        FUZZ_CHECK(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')));
        total += line.size();
    }
    FUZZ_CHECK(total <= bytes.size());
    FUZZ_CHECK(reader.next().isEmpty());

    const auto commands = ParseCommandFile(bytes);
    if (commands) {
        // Past the bound only rows the data holds: at least two bytes each.
        FUZZ_CHECK(!commands->isEmpty());
        FUZZ_CHECK(commands->size() <= std::max<qsizetype>(kMaxCommandRows, (bytes.size() + 1) / 2));
        // What was read is written back and read again unchanged. Long
        // lists of empty rows add nothing but time.
        if (commands->size() <= 1024)
            FUZZ_CHECK(ParseCommandFile(SerializeCommandFile(*commands)) == commands);
    }
    return 0;
}
