#include "emulator/emulator_state.h"

#include "common/file_io.h"
#include "common/language.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "emulator/emulated_display.h"

namespace trivo {

namespace {
template <typename Bytes>
QString hex(const Bytes& bytes)
{
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())).toHex());
}

// Copies the decoded bytes into a fixed array only when the size matches: a damaged state file must not
// leave a half-filled block.
template <std::size_t N>
bool fromHex(const QJsonValue& value, std::array<uint8_t, N>& out)
{
    const QByteArray bytes = QByteArray::fromHex(value.toString().toLatin1());
    if (bytes.size() != static_cast<qsizetype>(N))
        return false;
    std::copy(bytes.begin(), bytes.end(), out.begin());
    return true;
}
}  // namespace

bool loadEmulatorState(const QString& path, EmulatedDisplay& display, QString* error, std::vector<FaultSpec>* faults)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (!doc.isObject()) {
        if (error)
            *error = parse.errorString();
        return false;
    }
    const QJsonObject o = doc.object();
    auto block = display.block;
    auto picture = display.picture;
    if (!fromHex(o.value(QStringLiteral("bloc")), block) || !fromHex(o.value(QStringLiteral("ecran")), picture)) {
        if (error)
            *error = T("contenu invalide");
        return false;
    }
    const QJsonValue faultList = o.value(QStringLiteral("pannes"));
    if (!faultList.isUndefined() && !faultList.isArray()) {
        if (error)
            *error = T("contenu invalide");
        return false;
    }
    std::vector<FaultSpec> kept;
    for (const QJsonValue& value : faultList.toArray()) {
        const std::optional<FaultSpec> fault = parseFault(value.toString());
        if (!fault) {
            if (error)
                *error = T("panne inconnue : %1").arg(value.toString());
            return false;
        }
        kept.push_back(*fault);
    }
    if (faults)
        *faults = std::move(kept);
    display.block = block;
    display.picture = picture;
    display.counter = o.value(QStringLiteral("compteur")).toInt();
    display.totaliser = o.value(QStringLiteral("totalisateur")).toInt();
    display.lcdCleared = o.value(QStringLiteral("lcd_efface")).toBool();
    display.updateMode = o.value(QStringLiteral("mode_mise_a_jour")).toBool();
    const QByteArray fw = QByteArray::fromHex(o.value(QStringLiteral("micrologiciel")).toString().toLatin1());
    display.firmware.assign(fw.begin(), fw.end());
    return true;
}

bool saveEmulatorState(const QString& path, const EmulatedDisplay& display, QString* error,
                       const std::vector<FaultSpec>& faults)
{
    QJsonObject o;
    o.insert(QStringLiteral("bloc"), hex(display.block));
    o.insert(QStringLiteral("ecran"), hex(display.picture));
    o.insert(QStringLiteral("compteur"), static_cast<int>(display.counter));
    o.insert(QStringLiteral("totalisateur"), static_cast<int>(display.totaliser));
    o.insert(QStringLiteral("lcd_efface"), display.lcdCleared);
    o.insert(QStringLiteral("mode_mise_a_jour"), display.updateMode);
    o.insert(QStringLiteral("micrologiciel"), hex(display.firmware));
    // Written only when there is one, so that a file without faults stays as it always was.
    if (!faults.empty()) {
        QJsonArray names;
        for (const FaultSpec& fault : faults)
            names.append(faultText(fault));
        o.insert(QStringLiteral("pannes"), names);
    }
    const FileError written = writeFileWhole(path, QJsonDocument(o).toJson());
    if (written.failed()) {
        if (error)
            *error = T("%1 (Erreur N°: %2)").arg(written.description).arg(written.number);
        return false;
    }
    return true;
}

}  // namespace trivo
