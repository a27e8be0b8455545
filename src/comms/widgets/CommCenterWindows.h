#pragma once

namespace rm {

// Registers the communications centre (frmCommCenter) with the main window.
void RegisterCommCenterWindows();

// The pictures of the centre live in a static library; this makes sure they are linked in.
void LoadCommsPictures();

} // namespace rm
