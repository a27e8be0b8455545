#pragma once

namespace rm {

class frmMain;

// Brings the program up (splash, database, Options record, main window) and runs it. Returns the
// process exit status: non-zero when start-up failed.
int RunApplication(int argc, char* argv[]);

// Start-up once the application object exists: the splash for splashDelayMs, then the database and
// the Options record. On failure the standard error report is shown and the exit status returned;
// 0 means the main window may open.
int StartUp(frmMain& main, int splashDelayMs);

} // namespace rm
