#pragma once
// The scroll area a window puts around its form so that a small screen shows the form whole, scrolled,
// instead of squeezing its controls over one another. It asks for the form's own size (with room for
// the vertical bar a short window then shows beside it), so that a window with room opens as the form
// needs, and it scrolls only where it is given less. The controls inside take the focus; the area
// scrolls to the one that has it.
#include <QScrollArea>

namespace trivo {

class FormScrollArea : public QScrollArea {
    Q_OBJECT
public:
    explicit FormScrollArea(QWidget* parent = nullptr);
    QSize sizeHint() const override;
};

}  // namespace trivo
