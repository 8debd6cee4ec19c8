#include "cli/terminal_progress.h"

#include <QFile>

#include <algorithm>
#include <unistd.h>

namespace trivo {

bool isTerminal(const QTextStream& stream)
{
    const auto* file = qobject_cast<const QFile*>(stream.device());
    return file && file->handle() >= 0 && ::isatty(file->handle()) == 1;
}

QString progressBar(int value, int maximum, int width)
{
    const int clamped = maximum > 0 ? std::clamp(value, 0, maximum) : 0;
    const int percent = maximum > 0 ? int(qint64(clamped) * 100 / maximum) : 0;
    const int marks = maximum > 0 ? int(qint64(clamped) * width / maximum) : 0;
    return QLatin1Char('[') + QString(marks, QLatin1Char('#')) + QString(width - marks, QLatin1Char(' '))
        + QStringLiteral("] %1 %").arg(percent, 3);
}

void TerminalProgress::begin(int maximum, const QString& text)
{
    maximum_ = maximum;
    value_ = 0;
    drawnPercent_ = -1;
    text_ = text;
    draw();
}

void TerminalProgress::advance(int value, const QString& text)
{
    value_ = value;
    if (!text.isNull())
        text_ = text;
    draw();
}

void TerminalProgress::end()
{
    if (!terminal_)
        return;
    out_ << kClearLine;
    out_.flush();
}

void TerminalProgress::draw()
{
    if (!terminal_)
        return;
    // A transfer of hundreds of reports redraws only when the shown percentage moves.
    const int percent = maximum_ > 0 ? int(qint64(std::clamp(value_, 0, maximum_)) * 100 / maximum_) : 0;
    if (percent == drawnPercent_)
        return;
    drawnPercent_ = percent;
    out_ << kClearLine << (text_.isEmpty() ? QString() : text_ + QLatin1Char(' ')) << progressBar(value_, maximum_);
    out_.flush();
}

}  // namespace trivo
