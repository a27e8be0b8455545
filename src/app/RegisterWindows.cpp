#include "ui/WindowRegistry.h"

#include "comms/widgets/CommsWindows.h"

namespace rm {

// Each area adds its windows here as they are built.
void RegisterAllWindows() {
    RegisterCommsWindows();
}

} // namespace rm
