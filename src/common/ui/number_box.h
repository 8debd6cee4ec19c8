#pragma once
// Number and date boxes as assistive technologies meet them: one control with one name. The box hands its
// focus to an editor of Qt's own inside it, which is what a screen reader reaches; that editor carries the
// box's name.
class QAbstractSpinBox;
class QString;

namespace trivo {

void nameNumberBox(QAbstractSpinBox* box, const QString& name);

}  // namespace trivo
