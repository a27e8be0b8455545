#include "roster/widgets/ConnectionWindows.h"

#include "roster/widgets/frmConnections.h"
#include "ui/WindowRegistry.h"

namespace rm {

void RegisterConnectionWindows() {
    RegisterTaskWindow(QStringLiteral("frmConnections"), [] { return new frmConnections; });
}

} // namespace rm
