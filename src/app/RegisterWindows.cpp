#include "ui/WindowRegistry.h"

namespace rm {

// Each area adds its windows here as they are built.
void RegisterAllWindows() {}

} // namespace rm
