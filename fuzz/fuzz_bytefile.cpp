// Byte files through the file system: what is written is read back whole.
#include "fuzzcheck.h"
#include "core/bytefile.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz.rcv"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    QString error;
    FUZZ_CHECK(WriteByteFile(path, bytes, &error));
    QByteArray back("stale");
    FUZZ_CHECK(ReadByteFile(path, &back, &error));
    FUZZ_CHECK(back == bytes);

    QByteArray untouched("untouched");
    FUZZ_CHECK(!ReadByteFile(dir.filePath(QStringLiteral("missing")), &untouched, &error));
    FUZZ_CHECK(untouched == "untouched" && !error.isEmpty());
    return 0;
}
