#include "data/widgets/DataWindows.h"

#include "data/widgets/frmCustomDrops.h"
#include "data/widgets/frmOptions.h"
#include "ui/WindowRegistry.h"

namespace rm {

void RegisterDataWindows() {
    RegisterTaskWindow(QStringLiteral("frmCustomDrops"), [] { return new frmCustomDrops; });
    RegisterModalDialog(QStringLiteral("frmOptions"), [](QWidget* parent) { return new frmOptions(parent); });
}

} // namespace rm
