#include "ui/WindowRegistry.h"

#include "roster/widgets/PlayerListWindow.h"

namespace rm {

// Each area adds its windows here as they are built.
void RegisterAllWindows() {
    RegisterPlayerWindows();
}

} // namespace rm
