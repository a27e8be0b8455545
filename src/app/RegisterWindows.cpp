#include "ui/WindowRegistry.h"

#include "data/widgets/DataWindows.h"
#include "roster/widgets/ConnectionWindows.h"
#include "roster/widgets/DivisionGameWindows.h"
#include "time/widgets/TimeWindows.h"

namespace rm {

// Each area adds its windows here as they are built.
void RegisterAllWindows() {
    RegisterDataWindows();
    RegisterTimeWindows();
    RegisterConnectionWindows();
    RegisterDivisionGameWindows();
}

} // namespace rm
