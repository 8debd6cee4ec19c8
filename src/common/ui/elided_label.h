#pragma once
// A label that keeps its text inside it when it is given less room than the text needs (a status bar on
// a small screen): it shows the text elided and tells the whole of it in its tooltip. It asks for the
// whole text's width and can shrink to an ellipsis's.
#include <QLabel>

namespace trivo {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);

    // The whole text; text() is what is shown of it.
    void setFullText(const QString& text);
    const QString& fullText() const { return full_; }
    bool isElided() const { return text() != full_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void elide();
    int textRoom() const;
    QString full_;
};

}  // namespace trivo
