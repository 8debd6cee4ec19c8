#pragma once
// What poppler's tools read in a PDF: its text in the order it was drawn, its page count and page size.
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

namespace trivo::test {

inline bool popplerAvailable()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

inline QString runTool(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Without any blank: a label wrapped over two lines, or a long number broken anywhere, still reads whole.
inline QString squeezed(const QString& text)
{
    QString out = text;
    out.remove(QRegularExpression(QStringLiteral("\\s+")));
    return out;
}

// The text in content-stream order (a label, then its value), squeezed.
inline QString pdfText(const QString& path)
{
    return squeezed(runTool(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), path, QStringLiteral("-")}));
}

struct PdfInfo {
    int pages = 0;
    QString pageSize;  // e.g. "595 x 842 pts (A4)"
};

inline PdfInfo pdfInfo(const QString& path)
{
    const QString out = runTool(QStringLiteral("pdfinfo"), {path});
    PdfInfo info;
    info.pages = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
                     .match(out)
                     .captured(1)
                     .toInt();
    info.pageSize = QRegularExpression(QStringLiteral("^Page size:\\s+(.*)$"), QRegularExpression::MultilineOption)
                        .match(out)
                        .captured(1)
                        .trimmed();
    return info;
}

}  // namespace trivo::test
