#include "link/display_labels.h"

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
    QString caption = QStringLiteral("%1 : ").arg(number);
    if (!label.isEmpty())
        caption += label + QLatin1Char(' ');
    QStringList details;
    if (!display.serial.empty())
        details << QString::fromStdString(display.serial);
    details << QStringLiteral("version %1").arg(QStringLiteral("%1").arg(display.version, 4, 16, QLatin1Char('0')).toUpper());
    return caption + QStringLiteral("(%1) ").arg(details.join(QStringLiteral(", ")))
        + QString::fromStdString(display.path);
}

}  // namespace trivo
