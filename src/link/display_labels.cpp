#include "link/display_labels.h"

#include "common/language.h"

#include <QSettings>
#include <QUrl>

namespace trivo {

namespace {

// A path holds '/', which QSettings would take for groups.
QString settingsKey(const HidInterfaceInfo& display)
{
    return QStringLiteral("afficheurs/") + QString::fromLatin1(QUrl::toPercentEncoding(displayKey(display)));
}

}  // namespace

QString displayKey(const HidInterfaceInfo& display)
{
    return QString::fromStdString(display.serial.empty() ? display.path : display.serial);
}

QString displayLabel(const HidInterfaceInfo& display)
{
    return QSettings().value(settingsKey(display)).toString();
}

void setDisplayLabel(const HidInterfaceInfo& display, const QString& label)
{
    QSettings settings;
    if (label.trimmed().isEmpty())
        settings.remove(settingsKey(display));
    else
        settings.setValue(settingsKey(display), label.trimmed());
}

QString displayCaption(const HidInterfaceInfo& display, int number)
{
    const QString label = displayLabel(display);
    QStringList details;
    if (!display.serial.empty())
        details << QString::fromStdString(display.serial);
    details << T("version %1").arg(QStringLiteral("%1").arg(display.version, 4, 16, QLatin1Char('0')).toUpper());
    const QString path = QString::fromStdString(display.path);
    if (label.isEmpty())
        return T("%1 : (%2) %3").arg(QString::number(number), details.join(QStringLiteral(", ")), path);
    return T("%1 : %2 (%3) %4").arg(QString::number(number), label, details.join(QStringLiteral(", ")), path);
}

}  // namespace trivo
