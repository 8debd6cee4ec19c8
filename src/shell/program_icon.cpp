#include "shell/program_icon.h"

namespace trivo {

QIcon programIcon() { return QIcon(QStringLiteral(":/icons/trivo-cp.svg")); }

}  // namespace trivo
