#pragma once

namespace rm {

// Registers the connection-type window.
void RegisterConnectionWindows();

} // namespace rm
