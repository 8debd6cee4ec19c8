// Whole-file writes: a file is the new one, complete and synced, or the old one untouched, whatever
// fails on the way; and whole-file reads of the start of a file.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "common/file_io.h"
#include "common/language.h"
#include "support/files.h"

using namespace trivo;

namespace {

QByteArray contents(const QString& path) { return test::readAll(path, "<missing>"); }

// A disk that takes `room` bytes and then reports itself full, or fails the sync.
FileWriteOps faultyDisk(long room, int syncErrno)
{
    FileWriteOps ops = FileWriteOps::system();
    auto left = std::make_shared<long>(room);
    ops.write = [left](int fd, const char* data, unsigned long size) -> long {
        if (*left <= 0) {
            errno = ENOSPC;
            return -1;
        }
        const long n = std::min<long>(*left, long(size));
        *left -= n;
        return ::write(fd, data, static_cast<size_t>(n));
    };
    ops.sync = [syncErrno](int fd) {
        if (syncErrno == 0)
            return ::fsync(fd);
        errno = syncErrno;
        return -1;
    };
    return ops;
}

}  // namespace

class TestFileIo : public QObject {
    Q_OBJECT
private slots:
    void failuresLeaveTheOldFile_data()
    {
        QTest::addColumn<bool>("oldExists");
        QTest::addColumn<long>("room");
        QTest::addColumn<int>("syncErrno");
        QTest::newRow("full before the first byte, over an old file") << true << 0L << 0;
        QTest::newRow("full half way, over an old file") << true << 1000L << 0;
        QTest::newRow("sync fails, over an old file") << true << 1000000L << EIO;
        QTest::newRow("full half way, new file") << false << 1000L << 0;
        QTest::newRow("sync fails, new file") << false << 1000000L << EIO;
    }
    void failuresLeaveTheOldFile()
    {
        QFETCH(bool, oldExists);
        QFETCH(long, room);
        QFETCH(int, syncErrno);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.config_CP"));
        const QByteArray old("the old file\r\n");
        if (oldExists)
            test::writeAll(path, old);
        const QByteArray fresh(5000, 'n');

        const FileError error = writeFileWhole(path, fresh, faultyDisk(room, syncErrno));

        QCOMPARE(error.number, errnum::kDeviceIo);
        QVERIFY2(error.description.startsWith(QStringLiteral("non enregistré, erreur d'écriture : ")),
                 qPrintable(error.description));
        QVERIFY(error.description.contains(QDir::toNativeSeparators(path)));
        QCOMPARE(contents(path), oldExists ? old : QByteArray("<missing>"));
        // Nothing is left behind beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), oldExists ? 1 : 0);
    }

    void aWholeWriteReplacesAndKeepsPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("private") << 0600;
        QTest::newRow("group readable") << 0640;
        QTest::newRow("everyone readable") << 0644;
    }
    void aWholeWriteReplacesAndKeepsPermissions()
    {
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ecran.png"));
        test::writeAll(path, "old");
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
        const QByteArray fresh(70000, 'x');
        const FileError error = writeFileWhole(path, fresh);
        QVERIFY2(!error.failed(), qPrintable(error.description));
        QCOMPARE(contents(path), fresh);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), mode);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void placesThatCannotHoldAFile_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<int>("number");
        QTest::newRow("missing folder") << QStringLiteral("absent/a.config_CP") << errnum::kPathNotFound;
        QTest::newRow("a folder") << QStringLiteral("sub") << errnum::kPathAccess;
    }
    void placesThatCannotHoldAFile()
    {
        QFETCH(QString, relative);
        QFETCH(int, number);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const FileError error = writeFileWhole(dir.filePath(relative), "x");
        QCOMPARE(error.number, number);
    }

    // The exclamation box of a file that cannot be read, in the program's language.
    void theBoxSaysWhyInTheLanguage_data()
    {
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("folder");
        QTest::addRow("French") << Language::French << QStringLiteral("Fichier introuvable : %1\r\nErreur N°: 53")
                                << QStringLiteral("Fichier inaccessible, c'est un dossier : %1\r\nErreur N°: 75");
        QTest::addRow("English") << Language::English << QStringLiteral("File not found: %1\r\nError No.: 53")
                                 << QStringLiteral("File not accessible, it is a folder: %1\r\nError No.: 75");
    }
    void theBoxSaysWhyInTheLanguage()
    {
        QFETCH(Language, language);
        QFETCH(QString, missing);
        QFETCH(QString, folder);
        QVERIFY(setLanguage(language));
        const auto french = qScopeGuard([] { setLanguage(Language::French); });
        QTemporaryDir dir;
        QByteArray bytes;
        const QString absent = dir.filePath(QStringLiteral("absent.config_CP"));
        QCOMPARE(readFileStart(absent, 10, bytes).boxText(), missing.arg(QDir::toNativeSeparators(absent)));
        QCOMPARE(readFileStart(dir.path(), 10, bytes).boxText(), folder.arg(QDir::toNativeSeparators(dir.path())));
    }

    void readingStopsWhereEnoughWasRead()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big"));
        test::writeAll(path, QByteArray(300 * 1024, 'a'));
        QByteArray bytes;
        QVERIFY(!readFileStart(path, 100 * 1024, bytes).failed());
        QCOMPARE(bytes.size(), 100 * 1024);
        QVERIFY(
            !readFileStart(path, 1 << 20, bytes, [](const QByteArray& b) { return b.size() >= 64 * 1024; }).failed());
        QCOMPARE(bytes.size(), 64 * 1024);
        QCOMPARE(readFileStart(dir.filePath(QStringLiteral("none")), 10, bytes).number, errnum::kFileNotFound);
    }
};

QTEST_GUILESS_MAIN(TestFileIo)
#include "test_file_io.moc"
