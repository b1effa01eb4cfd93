#pragma once

#include <QByteArrayView>

#include <cstdio>
#include <cstdlib>

// A property every input must keep. A broken one is a finding like a crash: libFuzzer keeps the
// input that broke it.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);                     \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

// The fuzzer's bytes as a view.
inline QByteArrayView fuzzInput(const unsigned char *data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}
