#pragma once

#include "data/MessageSink.h"

namespace rm {

// The sink of the running application: the application's own box for questions and messages, the
// platform's standard box for error reports. Both are shown through RunModal.
class WidgetMessageSink final : public MessageSink {
public:
    int showMessage(const QString& text, int align, int buttons, int icon, const QString& title) override;
    void showStandardBox(const QString& text, const QString& title, int icon) override;
};

// Installs one WidgetMessageSink for the rest of the run.
void InstallWidgetMessageSink();

} // namespace rm
