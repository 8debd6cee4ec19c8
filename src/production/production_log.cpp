#include "production/production_log.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/language.h"

namespace trivo::production {

QString defaultLogPath(bool training)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(training ? kTrainingLogName : kDefaultLogName);
}

namespace {

const QStringList kColumns = {QStringLiteral("date_heure"),    QStringLiteral("unite"),
                              QStringLiteral("resultat"),      QStringLiteral("etape"),
                              QStringLiteral("raison"),        QStringLiteral("duree_ms"),
                              QStringLiteral("bloc_avant"),    QStringLiteral("bloc_apres"),
                              QStringLiteral("sha256_modele"), QStringLiteral("chemin_usb")};

QString field(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString blockHex(const std::optional<ParameterBlock>& block)
{
    if (!block)
        return {};
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(block->data()), int(block->size())).toHex().toUpper());
}

QString systemError(int number) { return QString::fromLocal8Bit(std::strerror(number)); }

}  // namespace

QString stepName(UnitStep step)
{
    switch (step) {
    case UnitStep::None: return {};
    case UnitStep::Read: return FR("lecture");
    case UnitStep::Program: return FR("programmation");
    case UnitStep::Verify: return FR("verification");
    case UnitStep::Picture: return FR("ecran");
    case UnitStep::PictureVerify: return FR("verification-ecran");
    case UnitStep::Log: return FR("journal");
    }
    return {};
}

QString stepCaption(UnitStep step)
{
    switch (step) {
    case UnitStep::None: return {};
    case UnitStep::Read: return FR("Lecture du bloc");
    case UnitStep::Program: return FR("Programmation");
    case UnitStep::Verify: return FR("Vérification");
    case UnitStep::Picture: return FR("Envoi de l'écran d'accueil");
    case UnitStep::PictureVerify: return FR("Vérification de l'écran d'accueil");
    case UnitStep::Log: return FR("Journal");
    }
    return {};
}

QString csvHeader() { return kColumns.join(QLatin1Char(',')); }

int csvFieldCount() { return int(kColumns.size()); }

QString csvLine(const UnitRecord& r)
{
    // The offset keeps a log readable across a change of summer time and between sites.
    const QDateTime at = r.startedAt.toOffsetFromUtc(r.startedAt.offsetFromUtc());
    const QStringList fields = {at.toString(Qt::ISODate),
                                QString::number(r.unit),
                                r.passed ? kPassedWord : kFailedWord,
                                stepName(r.failedStep),
                                r.reason,
                                QString::number(r.durationMs),
                                blockHex(r.before),
                                blockHex(r.after),
                                r.modelSha256,
                                r.usbPath};
    QStringList quoted;
    for (const QString& f : fields)
        quoted << field(f);
    return quoted.join(QLatin1Char(','));
}

QStringList csvFields(const QString& line)
{
    QStringList fields;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                current += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << current;
            current.clear();
        } else {
            current += c;
        }
    }
    fields << current;
    return fields;
}

ProductionLog::~ProductionLog() { close(); }

bool ProductionLog::open(const QString& path, QString* error)
{
    std::lock_guard lock(mutex_);
    if (fd_ >= 0)
        ::close(fd_);
    path_ = path;
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        if (error)
            *error = systemError(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        if (error)
            *error = systemError(errno);
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    QByteArray start;
    if (info.st_size == 0) {
        start = csvHeader().toUtf8() + '\n';
    } else if (S_ISREG(info.st_mode)) {
        char last = '\n';
        if (::pread(fd_, &last, 1, info.st_size - 1) == 1 && last != '\n')
            start = "\n";
    }
    return start.isEmpty() || writeWhole(start, error);
}

bool ProductionLog::writeWhole(const QByteArray& bytes, QString* error)
{
    // A line goes out in one write, which a regular file takes whole: a killed process leaves whole lines
    // only. The loop is for a write cut short (a disk filling up), which then fails on the next round.
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (error)
                *error = n < 0 ? systemError(errno) : FR("rien n'a été écrit");
            return false;
        }
        done += n;
    }
    // A log on something that cannot be synced (a pipe, a terminal) has nothing to sync.
    if (::fsync(fd_) != 0 && errno != EINVAL) {
        if (error)
            *error = systemError(errno);
        return false;
    }
    return true;
}

bool ProductionLog::append(const UnitRecord& record, QString* error)
{
    std::lock_guard lock(mutex_);
    if (fd_ < 0) {
        if (error)
            *error = FR("journal non ouvert");
        return false;
    }
    return writeWhole(csvLine(record).toUtf8() + '\n', error);
}

void ProductionLog::close()
{
    std::lock_guard lock(mutex_);
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

}  // namespace trivo::production
