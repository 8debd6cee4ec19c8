#include "common/ui/number_box.h"

#include <QAbstractSpinBox>
#include <QLineEdit>

namespace trivo {

void nameNumberBox(QAbstractSpinBox* box, const QString& name)
{
    box->setAccessibleName(name);
    // The editor is the box's own child (QAbstractSpinBox::lineEdit() is not public).
    if (auto* editor = box->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly))
        editor->setAccessibleName(name);
}

}  // namespace trivo
