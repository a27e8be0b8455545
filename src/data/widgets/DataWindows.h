#pragma once

namespace rm {

// Registers the custom entries window and the Options dialog.
void RegisterDataWindows();

} // namespace rm
