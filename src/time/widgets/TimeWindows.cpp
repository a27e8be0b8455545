#include "time/widgets/TimeWindows.h"

#include "time/widgets/frmTimeZones.h"
#include "ui/WindowRegistry.h"

namespace rm {

void RegisterTimeWindows() {
    RegisterTaskWindow(QStringLiteral("frmTimeZones"), [] { return new frmTimeZones; });
}

} // namespace rm
