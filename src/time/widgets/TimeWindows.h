#pragma once

namespace rm {

// Registers the time zone catalogue window.
void RegisterTimeWindows();

} // namespace rm
