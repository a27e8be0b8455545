#pragma once

namespace rm {

// Registers the communications centre (frmCommCenter) with the main window.
void RegisterCommCenterWindows();

} // namespace rm
