#pragma once

namespace rm {

class InstanceLock;
class frmMain;

// The exit status of StartUp when another copy already runs on the database file.
inline constexpr int kAlreadyRunning = 2;

// Brings the program up (splash, database, Options record, main window) and runs it. Returns the
// process exit status: non-zero when start-up failed.
int RunApplication(int argc, char* argv[]);

// Start-up once the application object exists: the splash for splashDelayMs, then the database and
// the Options record. On failure the standard error report is shown and the exit status returned;
// 0 means the main window may open. With a lock, a copy already running on the same database file
// is brought to the front instead (kAlreadyRunning).
int StartUp(frmMain& main, int splashDelayMs, InstanceLock* lock = nullptr);

} // namespace rm
