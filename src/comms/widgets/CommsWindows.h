#pragma once

namespace rm {

// Registers the windows of communications; the e-mail window becomes the opener of every e-mail.
void RegisterCommsWindows();

} // namespace rm
