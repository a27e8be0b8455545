#include "ui/WindowRegistry.h"

#include "roster/widgets/DivisionGameWindows.h"

namespace rm {

// Each area adds its windows here as they are built.
void RegisterAllWindows() {
    RegisterDivisionGameWindows();
}

} // namespace rm
