#include "ui/WindowRegistry.h"

#include "comms/widgets/CommCenterWindows.h"
#include "comms/widgets/CommsWindows.h"
#include "data/widgets/DataWindows.h"
#include "roster/widgets/ConnectionWindows.h"
#include "roster/widgets/DivisionGameWindows.h"
#include "roster/widgets/PlayerListWindow.h"
#include "time/widgets/TimeWindows.h"

namespace rm {

// Each area adds its windows here as they are built.
void RegisterAllWindows() {
    RegisterDataWindows();
    RegisterTimeWindows();
    RegisterConnectionWindows();
    RegisterDivisionGameWindows();
    RegisterPlayerWindows();
    RegisterCommsWindows();
    RegisterCommCenterWindows();
}

} // namespace rm
