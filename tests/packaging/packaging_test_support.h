#pragma once
// Running the built programs and the system's tools, and reading the sections of a rendered manual page.
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace packaging_test {

struct Run {
    int exitCode = -1;
    bool finished = false;
    QString out;
    QString err;
};

// env: variables to set; unset: variables to remove from the test's own environment.
inline Run run(const QString& program, const QStringList& args, const QMap<QString, QString>& env = {},
               const QStringList& unset = {}, const QString& workingDir = {})
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString& name : unset)
        e.remove(name);
    for (auto it = env.begin(); it != env.end(); ++it)
        e.insert(it.key(), it.value());
    p.setProcessEnvironment(e);
    if (!workingDir.isEmpty())
        p.setWorkingDirectory(workingDir);
    p.start(program, args);
    Run r;
    r.finished = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A manual page as man shows it, wide enough that no entry is wrapped, in a UTF-8 locale; man's own
// warnings come back in err.
inline Run renderManual(const QString& page)
{
    return run(
        QStringLiteral("man"), {QStringLiteral("--warnings"), QStringLiteral("-l"), page},
        {{QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8")}, {QStringLiteral("MANWIDTH"), QStringLiteral("200")}},
        {QStringLiteral("MAN_KEEP_FORMATTING"), QStringLiteral("MANPAGER"), QStringLiteral("PAGER")});
}

// The lines of one section of a rendered page: from its heading (at the margin) to the next heading.
inline QStringList section(const QString& rendered, const QString& heading)
{
    QStringList lines;
    bool inside = false;
    for (const QString& line : rendered.split(QLatin1Char('\n'))) {
        const bool isHeading = !line.isEmpty() && !line.at(0).isSpace();
        if (isHeading) {
            if (inside)
                break;
            inside = line.trimmed() == heading;
            continue;
        }
        if (inside)
            lines << line;
    }
    return lines;
}

// The first word of each entry of a section: entries start at the first indentation of the page (seven
// blanks), their text is indented further.
inline QStringList entryNames(const QStringList& sectionLines)
{
    static const QRegularExpression entry(QStringLiteral("^ {7}(\\S+)"));
    QStringList names;
    for (const QString& line : sectionLines) {
        const QRegularExpressionMatch m = entry.match(line);
        if (m.hasMatch())
            names << m.captured(1);
    }
    return names;
}

// The whole first line of each entry of a section ("-h, --help", "--trace FICHIER").
inline QStringList entryHeaders(const QStringList& sectionLines)
{
    static const QRegularExpression entry(QStringLiteral("^ {7}(\\S.*)$"));
    QStringList headers;
    for (const QString& line : sectionLines) {
        const QRegularExpressionMatch m = entry.match(line);
        if (m.hasMatch())
            headers << m.captured(1);
    }
    return headers;
}

// Whether an option appears as a word of the text ("--simule" in "--simule[=ETAT]", not in "--simulex").
inline bool namesOption(const QString& text, const QString& option)
{
    const QRegularExpression re(QStringLiteral("(^|[\\s,\\[])") + QRegularExpression::escape(option)
                                + QStringLiteral("($|[\\s,\\[\\]=])"));
    return re.match(text).hasMatch();
}

// The command lines of "trivo-cp-cli --help": the lines under "Commandes :", each as its usage part
// (before the description, which starts after two blanks or more).
inline QStringList helpCommandLines(const QString& help)
{
    QStringList usages;
    bool inside = false;
    for (const QString& line : help.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Commandes"))) {
            inside = true;
            continue;
        }
        if (!inside)
            continue;
        if (line.trimmed().isEmpty())
            break;
        const QString usage = line.trimmed().split(QRegularExpression(QStringLiteral(" {2,}"))).first();
        usages << usage;
    }
    return usages;
}

// Words of a usage line that the operator types as they are: commands, sub-commands and options, not the
// upper-case placeholders (FICHIER, IMAGE).
inline QStringList literalWords(const QString& usage)
{
    QStringList words;
    for (const QString& w : usage.split(QRegularExpression(QStringLiteral("[\\s|\\[\\]]+")), Qt::SkipEmptyParts))
        if (w == w.toLower() && w.contains(QRegularExpression(QStringLiteral("[a-z]"))))
            words << w;
    return words;
}

}  // namespace packaging_test
