#pragma once
// The production side of the dialogs seam: real Qt message boxes and file dialogs.
#include "common/dialogs.h"

class QWidget;

namespace trivo {

// Real Qt dialogs, parented to a window of the program.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    MsgResult message(const MessageRequest& request) override;
    QString openFile(const FileRequest& request) override;
    QString saveFile(const FileRequest& request) override;
    QString folder(const FolderRequest& request) override;
    QString text(const TextRequest& request) override;

private:
    QWidget* parent_;
};

}  // namespace trivo
