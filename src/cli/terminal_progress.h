#pragma once
// Progress on a terminal: a bar redrawn in place on one line. When the output is a file or a pipe nothing
// is drawn, so that scripts and logs get plain lines only.
#include <QString>
#include <QTextStream>

#include "common/progress.h"

namespace trivo {

// True when the stream writes to a terminal.
bool isTerminal(const QTextStream& stream);

// "[#########                     ]  30 %": value out of maximum, width marks between the brackets.
QString progressBar(int value, int maximum, int width = 30);

// Goes back to the start of the line and clears it.
inline const QString kClearLine = QStringLiteral("\r\033[K");

// A bar with its text in front, redrawn on each advance; the line is cleared at the end.
class TerminalProgress final : public Progress {
public:
    TerminalProgress(QTextStream& out, bool terminal) : out_(out), terminal_(terminal) {}
    void begin(int maximum, const QString& text) override;
    void advance(int value, const QString& text) override;
    void end() override;

private:
    void draw();

    QTextStream& out_;
    bool terminal_;
    int maximum_ = 0;
    int value_ = 0;
    int drawnPercent_ = -1;
    QString text_;
};

}  // namespace trivo
