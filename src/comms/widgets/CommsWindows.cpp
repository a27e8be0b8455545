#include "comms/widgets/CommsWindows.h"

#include "comms/widgets/frmSMTP.h"
#include "ui/EmailWindow.h"
#include "ui/Maintenance.h"
#include "ui/WindowRegistry.h"

namespace rm {

void RegisterCommsWindows() {
    RegisterModalDialog(QStringLiteral("frmSMTP"), [](QWidget* parent) { return new frmSMTP(parent); });
    SetEmailWindowOpener([](const EmailRequest& request, QWidget* parent) {
        frmSMTP window(parent);
        window.applyRequest(request);
        RunModal(&window);
    });
}

} // namespace rm
