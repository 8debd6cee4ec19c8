#pragma once
// The differences between what was expected (the configuration window's form or a file) and what the
// display holds: a table Paramètre | Attendu | Afficheur with the differing rows marked, a switch between
// every row and the differences only, and a copy of the table as text for a report or a message.
#include <QDialog>

#include "common/language.h"
#include "config/verification.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace trivo {

inline const QString kComparisonTitle = FR("Comparaison avec l'afficheur");

class ComparisonDialog : public QDialog {
    Q_OBJECT
public:
    // `expectedFrom` says where the expected values come from (a file's path, the configuration window).
    ComparisonDialog(const Comparison& comparison, const QString& expectedFrom, QWidget* parent = nullptr);

    bool differencesOnly() const;
    void setDifferencesOnly(bool on);
    // What "Copier" puts on the clipboard: the source, the summary and the rows shown.
    QString copyText() const;
    void Copier_Click();

private:
    void showRows();

    Comparison comparison_;
    QString expectedFrom_;
    QLabel* summary_ = nullptr;
    QTableWidget* table_ = nullptr;
    QCheckBox* differencesOnly_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace trivo
