#pragma once

namespace rm {

// Registers the scheduling screen as a task window.
void RegisterSchedulingWindows();

} // namespace rm
