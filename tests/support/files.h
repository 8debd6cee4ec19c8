#pragma once
// A whole file read or written in one call, which is all most tests ask of a file; a write that fails
// fails the test where it was called.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace trivo::test {

// The file's bytes, or `missing` when it cannot be read.
inline QByteArray readAll(const QString& path, const QByteArray& missing = {})
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : missing;
}

inline QString readText(const QString& path) { return QString::fromUtf8(readAll(path)); }

inline void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

}  // namespace trivo::test
