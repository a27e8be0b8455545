#include "roster/widgets/DivisionGameWindows.h"

#include "roster/widgets/DivisionWindows.h"
#include "roster/widgets/GameWindows.h"
#include "roster/widgets/GenreWindows.h"
#include "roster/widgets/TitleWindows.h"
#include "ui/WindowRegistry.h"

namespace rm {

void RegisterDivisionGameWindows() {
    RegisterTaskWindow(QStringLiteral("frmGames"), [] { return new frmGames; });
    RegisterTaskWindow(QStringLiteral("frmGenresTypes"), [] { return new frmGenresTypes; });
    RegisterTaskWindow(QStringLiteral("frmDivisions"), [] { return new frmDivisions; });
    RegisterTaskWindow(QStringLiteral("frmTitles"), [] { return new frmTitles; });
}

} // namespace rm
