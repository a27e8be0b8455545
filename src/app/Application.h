#pragma once

namespace rm {

// Brings the program up (splash, database, Options record, main window) and runs it. Returns the
// process exit status: non-zero when start-up failed.
int RunApplication(int argc, char* argv[]);

} // namespace rm
