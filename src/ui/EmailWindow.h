#pragma once

#include "comms/EmailRequest.h"

#include <functional>

class QWidget;

namespace rm {

// Opens the e-mail window modally for a request. The e-mail window registers itself as the opener;
// until it has, the user is told that e-mail is not available.
void OpenEmailWindow(const EmailRequest& request, QWidget* parent);
void SetEmailWindowOpener(std::function<void(const EmailRequest&, QWidget*)> opener);
bool HasEmailWindow();

} // namespace rm
