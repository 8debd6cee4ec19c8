#include "maintenance/firmware_image.h"

#include "common/language.h"
#include "link/report.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <bitset>
#include <memory>

namespace trivo {

namespace {

constexpr int kRecordOverhead = 5;  // count, address high, address low, type, checksum
enum RecordType : uint8_t {
    kData = 0x00,
    kEndOfFile = 0x01,
    kSegmentBase = 0x02,
    kSegmentStart = 0x03,
    kLinearBase = 0x04,
    kLinearStart = 0x05,
};
const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

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


QString hexAddress(int64_t value) { return QString::number(value, 16).toUpper().rightJustified(4, QLatin1Char('0')); }

// pair: 0-based pair of the record; count: the record's byte count when known, else -1.
QString fieldName(int pair, int count)
{
    if (pair == 0)
        return T("longueur");
    if (pair <= 2)
        return T("adresse");
    if (pair == 3)
        return T("type");
    if (count >= 0 && pair == 4 + count)
        return T("somme de contrôle");
    return T("octet de données %1").arg(pair - 4);
}

struct RecordFault {
    int number = 0;
    QString what;
};

// One line into its bytes (count, address, type, data, checksum), whole and with a right checksum.
RecordFault decodeRecord(QByteArrayView line, QByteArray& bytes)
{
    if (!line.startsWith(':'))
        return {errnum::kTypeMismatch,
                T("ce n'est pas un enregistrement (il ne commence pas par « : »).")};
    const QByteArrayView digits = line.sliced(1);
    const bool countRead = digits.size() >= 2 && hexDigit(digits[0]) >= 0 && hexDigit(digits[1]) >= 0;
    const int count = countRead ? hexDigit(digits[0]) * 16 + hexDigit(digits[1]) : -1;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (hexDigit(digits[i]) < 0) {
            const qsizetype pair = i / 2;
            const QByteArrayView shown = digits.sliced(2 * pair, std::min<qsizetype>(2, digits.size() - 2 * pair));
            return {errnum::kTypeMismatch,
                    T("« %1 » n'est pas un octet hexadécimal (%2).")
                        .arg(QString::fromLatin1(shown), fieldName(int(pair), count))};
        }
    }
    const qsizetype expected = 2 * (qsizetype(std::max(count, 0)) + kRecordOverhead);
    if (count < 0 || digits.size() < expected)
        return {errnum::kPastEndOfFile,
                T("enregistrement incomplet (%1 chiffres hexadécimaux au lieu de %2).")
                    .arg(digits.size())
                    .arg(expected)};
    if (digits.size() > expected)
        return {errnum::kTypeMismatch,
                T("enregistrement trop long (%1 chiffres hexadécimaux au lieu de %2, pour %3 octets de données).")
                    .arg(digits.size())
                    .arg(expected)
                    .arg(count)};
    bytes.resize(expected / 2);
    unsigned sum = 0;
    for (qsizetype b = 0; b < bytes.size(); ++b) {
        const int value = hexDigit(digits[2 * b]) * 16 + hexDigit(digits[2 * b + 1]);
        bytes[b] = char(value);
        sum += unsigned(value);
    }
    if ((sum & 0xFF) != 0) {
        const unsigned read = uint8_t(bytes.back());
        const unsigned wanted = (0x100 - ((sum - read) & 0xFF)) & 0xFF;
        return {
            errnum::kChecksum,
            T("somme de contrôle erronée (lue %1, attendue %2).").arg(byteText(uint8_t(read)), byteText(uint8_t(wanted)))};
    }
    return {};
}

bool isBlank(QByteArrayView line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

HexReadResult failure(HexReadResult r, int line, int number, const QString& what)
{
    r.error = {number, line, line > 0 ? T("ligne %1 : %2").arg(line).arg(what) : what};
    return r;
}

}  // namespace

HexReadResult readIntelHex(QIODevice& device, FirmwareImage& image, Progress& progress)
{
    HexReadResult r;
    // Every way out, the refusals included, ends the progress.
    const ProgressScope scope(progress, kImageSize, QString());
    const QByteArray text = device.read(kMaxHexFileBytes + 1);
    if (text.size() > kMaxHexFileBytes)
        return failure(
            r, 0, errnum::kSubscript,
            T("trop grand (plus de %1 Kio) pour une image de 32 Kio.").arg(kMaxHexFileBytes / 1024));

    // Built aside, so that a refusal at any line leaves the caller's image as it was.
    auto built = std::make_unique<FirmwareImage>();
    built->fill(0xFF);
    auto given = std::make_unique<std::bitset<kImageSize>>();
    int64_t base = 0;  // from the last address extension
    bool ended = false;
    int line = 0;
    QByteArray bytes;
    qsizetype at = text.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0;
    while (at < text.size() && !ended) {
        ++line;
        progress.advance(r.fillPosition);
        // One line, whichever of CR LF, LF or CR ends it.
        qsizetype end = at;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        const QByteArrayView content(text.constData() + at, end - at);
        at = end;
        if (at < text.size() && text[at++] == '\r' && at < text.size() && text[at] == '\n')
            ++at;
        if (isBlank(content))
            continue;

        const RecordFault fault = decodeRecord(content, bytes);
        if (fault.number != 0)
            return failure(r, line, fault.number, fault.what);
        const int count = uint8_t(bytes[0]);
        const int offset = uint8_t(bytes[1]) << 8 | uint8_t(bytes[2]);
        const auto type = uint8_t(bytes[3]);
        const auto data = [&](int i) { return uint8_t(bytes[4 + i]); };
        switch (type) {
        case kData:
            ++r.records;
            for (int i = 0; i < count; ++i) {
                const int64_t load = base + offset + i;
                if (r.firstLoadAddress < 0)
                    r.firstLoadAddress = load;
                const int64_t a = load - r.firstLoadAddress;
                if (a < 0)
                    return failure(r, line, errnum::kSubscript,
                                   T("l'octet chargé à %1 tombe avant le début de l'image, "
                                                  "qui commence au premier enregistrement de données (%2).")
                                       .arg(hexAddress(load), hexAddress(r.firstLoadAddress)));
                if (a >= kImageSize)
                    return failure(r, line, errnum::kSubscript,
                                   T("l'octet chargé à %1 tombe à l'adresse d'image %2, au-delà de 7FFF.")
                                       .arg(hexAddress(load), hexAddress(a)));
                if (given->test(std::size_t(a)))
                    return failure(r, line, errnum::kHexOverlap,
                                   T("l'octet chargé à %1 est déjà donné plus haut dans le fichier.")
                                       .arg(hexAddress(load)));
                given->set(std::size_t(a));
                (*built)[std::size_t(a)] = data(i);
                ++r.dataBytes;
                r.fillPosition = std::max(r.fillPosition, int(a) + 1);
            }
            break;
        case kEndOfFile: ended = true; break;
        case kSegmentBase:
        case kLinearBase:
            if (count != 2)
                return failure(r, line, errnum::kTypeMismatch,
                               T("adresse étendue de %1 octets au lieu de 2.").arg(count));
            base = int64_t(data(0) << 8 | data(1)) << (type == kSegmentBase ? 4 : 16);
            break;
        case kSegmentStart:
        case kLinearStart: break;  // an execution start: nothing to place
        default:
            return failure(r, line, errnum::kTypeMismatch,
                           T("type d'enregistrement %1 inconnu.").arg(byteText(uint8_t(type))));
        }
    }
    if (!ended)
        return line == 0 ? failure(r, 0, errnum::kPastEndOfFile, T("vide, sans aucun enregistrement."))
                         : failure(r, line, errnum::kPastEndOfFile,
                                   T("le fichier s'arrête sans enregistrement de fin (:00000001FF)."));
    if (r.dataBytes == 0)
        return failure(r, line, errnum::kPastEndOfFile,
                       T("fin de fichier avant le moindre octet de données."));

    image = *built;
    progress.advance(r.fillPosition);
    return r;
}

HexReadResult readIntelHexFile(const QString& fileName, FirmwareImage& image, Progress& progress)
{
    const QString name = QFileInfo(fileName).fileName();
    QFile file(fileName);
    HexReadResult r;
    const ProgressScope scope(progress, kImageSize, QString());
    const QFileInfo info(fileName);
    if (!info.isFile()) {
        r.error = {errnum::kFileNotFound, 0, T("« %1 » introuvable.").arg(name)};
        return r;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = {errnum::kPathAccess, 0, T("« %1 » : accès refusé (%2).").arg(name, file.errorString())};
        return r;
    }
    if (file.size() > kMaxHexFileBytes) {
        r = failure(r, 0, errnum::kSubscript,
                    T("trop grand (%1 Kio, plus de %2 Kio) pour une image de 32 Kio.")
                        .arg(file.size() / 1024)
                        .arg(kMaxHexFileBytes / 1024));
    } else {
        // Read into a copy: a read error noticed afterwards must not leave a half-read file in the image.
        auto read = std::make_unique<FirmwareImage>(image);
        r = readIntelHex(file, *read, progress);
        if (r.ok() && file.error() != QFileDevice::NoError)
            r.error = {errnum::kDeviceIo, 0, T("erreur de lecture (%1).").arg(file.errorString())};
        if (r.ok())
            image = *read;
    }
    if (!r.ok())
        r.error.description = T("« %1 », %2").arg(name, r.error.description);
    return r;
}

QString dumpLine(const FirmwareImage& image, int address)
{
    QString line = QStringLiteral("%1  ").arg(address, 4, 16, QLatin1Char('0')).toUpper();
    line.reserve(6 + 3 * kRecordBytes + 2);
    for (int i = 0; i < kRecordBytes; ++i) {
        line += byteText(image[address + i]);
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
