#pragma once

namespace rm {

// Registers the games list, the genres and types window, the division list and the divisional
// titles list as task windows.
void RegisterDivisionGameWindows();

} // namespace rm
