#pragma once
// What every fuzz target shares: a check that stops the run (so libFuzzer keeps the input as a crash)
// and a scratch file for the readers that take a path.
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                   \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

namespace fuzz {

// A file in a folder of this process's own, rewritten for every input.
inline QString scratchFile(const QString& name, const uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    const QString path = dir.filePath(name);
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) == qint64(size));
    file.close();
    return path;
}

}  // namespace fuzz
