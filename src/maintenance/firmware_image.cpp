#include "maintenance/firmware_image.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>

namespace trivo {

namespace {

// ':' + count(2) + address(4) + type(2) + 32 data digits + checksum(2)
constexpr int kRecordChars = 43;
constexpr int kRecordFields = 21;  // count, address high, address low, type, 16 data, checksum
const QByteArray kDataRecordStart = QByteArrayLiteral(":10");

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QString fieldName(int field)
{
    if (field == 0)
        return QStringLiteral("longueur");
    if (field <= 2)
        return QStringLiteral("adresse");
    if (field == 3)
        return QStringLiteral("type");
    if (field == kRecordFields - 1)
        return QStringLiteral("somme de contrôle");
    return QStringLiteral("octet de données %1").arg(field - 4);
}

HexReadResult failure(HexReadResult r, int line, int number, const QString& what)
{
    r.error = {number, line, QStringLiteral("ligne %1 : %2").arg(line).arg(what)};
    return r;
}

QString hex2(int value) { return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

HexReadResult readIntelHex(QIODevice& device, FirmwareImage& image, Progress& progress)
{
    HexReadResult r;
    // Every way out, the refusals included, ends the progress.
    const ProgressScope scope(progress, kImageSize, QString());
    QByteArray text;
    text.reserve(kRecordChars + 1);
    for (int line = 1;; ++line) {
        progress.advance(r.fillPosition);

        // One line, whichever of CR LF, LF or CR ends it. Never more than one character past a record is
        // read, so a large file of something else is not read through.
        text.clear();
        bool lineEnded = false;
        char c;
        while (device.getChar(&c)) {
            if (c == '\n') {
                lineEnded = true;
                break;
            }
            if (c == '\r') {
                char next;
                if (device.getChar(&next) && next != '\n')
                    device.ungetChar(next);
                lineEnded = true;
                break;
            }
            text.append(c);
            if (text.size() == kDataRecordStart.size() && text != kDataRecordStart)
                break;
            if (text.size() > kRecordChars)
                break;
        }
        if (!lineEnded && text.isEmpty())
            break;  // end of file
        if (!text.startsWith(kDataRecordStart))
            break;  // end-of-file, address or short record: the image ends here

        if (r.records == kMaxRecords)
            return failure(
                r, line, errnum::kSubscript,
                QStringLiteral("plus de %1 enregistrements, l'image dépasse l'adresse 7FFF.").arg(kMaxRecords));
        if (text.size() < kRecordChars)
            return failure(r, line, errnum::kPastEndOfFile,
                           QStringLiteral("enregistrement incomplet (%1 caractères au lieu de %2).")
                               .arg(text.size())
                               .arg(kRecordChars));
        if (text.size() > kRecordChars)
            return failure(r, line, errnum::kTypeMismatch,
                           QStringLiteral("enregistrement trop long (plus de %1 caractères).").arg(kRecordChars));

        std::array<uint8_t, kRecordFields> fields{};
        unsigned sum = 0;
        for (int f = 0; f < kRecordFields; ++f) {
            const char hi = text.at(1 + 2 * f);
            const char lo = text.at(2 + 2 * f);
            const int h = hexDigit(hi);
            const int l = hexDigit(lo);
            if (h < 0 || l < 0)
                return failure(r, line, errnum::kTypeMismatch,
                               QStringLiteral("« %1 » n'est pas un octet hexadécimal (%2).")
                                   .arg(QString::fromLatin1(QByteArray() + hi + lo), fieldName(f)));
            fields[f] = static_cast<uint8_t>(h * 16 + l);
            sum += fields[f];
        }
        if ((sum & 0xFF) != 0) {
            const int expected = (0x100 - ((sum - fields[kRecordFields - 1]) & 0xFF)) & 0xFF;
            return failure(r, line, errnum::kChecksum,
                           QStringLiteral("somme de contrôle erronée (lue %1, attendue %2).")
                               .arg(hex2(fields[kRecordFields - 1]), hex2(expected)));
        }

        for (int i = 0; i < kRecordBytes; ++i)
            image[r.fillPosition + i] = fields[4 + i];
        r.fillPosition += kRecordBytes;
        ++r.records;
    }

    for (int a = r.fillPosition; a < kImageSize; ++a)
        image[a] = 0xFF;
    progress.advance(r.fillPosition);
    return r;
}

HexReadResult readIntelHexFile(const QString& fileName, FirmwareImage& image, Progress& progress)
{
    const QString shown = QStringLiteral("« %1 »").arg(QFileInfo(fileName).fileName());
    QFile file(fileName);
    HexReadResult r;
    const ProgressScope scope(progress, kImageSize, QString());
    if (!QFileInfo(fileName).isFile()) {
        r.error = {errnum::kFileNotFound, 0, shown + QStringLiteral(" introuvable.")};
        return r;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = {errnum::kPathAccess, 0, shown + QStringLiteral(" : accès refusé (%1).").arg(file.errorString())};
        return r;
    }
    r = readIntelHex(file, image, progress);
    if (file.error() != QFileDevice::NoError)
        r.error = {errnum::kDeviceIo, 0, QStringLiteral("erreur de lecture (%1).").arg(file.errorString())};
    if (!r.ok())
        r.error.description = shown + QStringLiteral(", ") + r.error.description;
    return r;
}

QString dumpLine(const FirmwareImage& image, int address)
{
    QString line = QStringLiteral("%1  ").arg(address, 4, 16, QLatin1Char('0')).toUpper();
    line.reserve(6 + 3 * kRecordBytes + 2);
    for (int i = 0; i < kRecordBytes; ++i) {
        line += hex2(image[address + i]);
        line += QLatin1Char(' ');
    }
    line += QStringLiteral("\r\n");
    return line;
}

QString dumpText(const FirmwareImage& image, int scroll)
{
    const int first = std::clamp(scroll, 0, kDumpScrollMax) * kRecordBytes;
    QString text;
    for (int l = 0; l < kDumpLines; ++l)
        text += dumpLine(image, first + l * kRecordBytes);
    return text;
}

}  // namespace trivo
