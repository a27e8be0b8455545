#include "ui/EmailWindow.h"

#include "data/MessageSink.h"

namespace rm {

namespace {
std::function<void(const EmailRequest&, QWidget*)> g_opener;
} // namespace

void OpenEmailWindow(const EmailRequest& request, QWidget* parent) {
    if (!g_opener) {
        ShowMessage(QStringLiteral("Sending e-mail is not available in this version of Rallymark."),
                    AlignCenterText, vbOKOnly, vbInformation, QStringLiteral("E-Mail Not Available"));
        return;
    }
    g_opener(request, parent);
}

void SetEmailWindowOpener(std::function<void(const EmailRequest&, QWidget*)> opener) {
    g_opener = std::move(opener);
}

bool HasEmailWindow() {
    return static_cast<bool>(g_opener);
}

} // namespace rm
