#include "common/ui/qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "common/language.h"

namespace trivo {

namespace {
const QString kLineBreak = QStringLiteral("\r\n");
const QString kFilterBreak = QStringLiteral(";;");

QMessageBox::StandardButton toQt(MsgResult r)
{
    switch (r) {
    case MsgResult::Yes: return QMessageBox::Yes;
    case MsgResult::No: return QMessageBox::No;
    case MsgResult::Cancel: return QMessageBox::Cancel;
    case MsgResult::Ok: break;
    }
    return QMessageBox::Ok;
}
}  // namespace

MsgResult QtDialogs::message(const MessageRequest& request)
{
    QMessageBox box(parent_);
    box.setWindowTitle(T(request.title));
    // Qt shows CR LF as two line breaks; the operator texts were written for one.
    QString text = shownPieces(request.text, kLineBreak);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setText(text);
    switch (request.icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::None: break;
    }
    switch (request.buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    }
    box.setDefaultButton(toQt(request.defaultButton));
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    default: return request.buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    }
}

namespace {
QString selectedFilter(const FileRequest& r)
{
    const QStringList filters = shownPieces(r.filter, kFilterBreak).split(kFilterBreak);
    const int i = r.filterIndex - 1;
    return (i >= 0 && i < filters.size()) ? filters.at(i) : QString();
}

QString startPath(const FileRequest& r)
{
    if (r.fileName.isEmpty())
        return r.initialDir;
    if (r.initialDir.isEmpty())
        return r.fileName;
    return r.initialDir + QLatin1Char('/') + r.fileName;
}
}  // namespace

QString QtDialogs::openFile(const FileRequest& request)
{
    QString filter = selectedFilter(request);
    return QFileDialog::getOpenFileName(parent_, T(request.title), startPath(request),
                                        shownPieces(request.filter, kFilterBreak), &filter);
}

QString QtDialogs::saveFile(const FileRequest& request)
{
    QString filter = selectedFilter(request);
    QFileDialog::Options options;
    if (!request.confirmOverwrite)
        options |= QFileDialog::DontConfirmOverwrite;
    return QFileDialog::getSaveFileName(parent_, T(request.title), startPath(request),
                                        shownPieces(request.filter, kFilterBreak), &filter, options);
}

QString QtDialogs::text(const TextRequest& request)
{
    bool ok = false;
    const QString typed =
        QInputDialog::getText(parent_, T(request.title), T(request.label), QLineEdit::Normal, request.initial, &ok);
    return ok ? typed : QString();
}

QString QtDialogs::folder(const FolderRequest& request)
{
    return QFileDialog::getExistingDirectory(parent_, T(request.title), request.initialDir, QFileDialog::ShowDirsOnly);
}

}  // namespace trivo
