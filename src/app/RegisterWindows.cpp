#include "ui/WindowRegistry.h"

#include "comms/widgets/CommCenterWindows.h"

namespace rm {

// Each area adds its windows here as they are built.
void RegisterAllWindows() {
    RegisterCommCenterWindows();
}

} // namespace rm
