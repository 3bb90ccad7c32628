#pragma once

#include <QList>
#include <QString>
#include <cstdio>
#include <cstdlib>

// A broken invariant is a crash, so libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

// The input as raw UTF-16 units, so lone surrogates and NULs reach the code.
inline QString utf16Text(const uint8_t *data, size_t size)
{
    return QString(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
}
