#pragma once

#include <QString>

namespace rm {

// Button sets, icons, alignments and answers of the application's message box. The numbers are the
// classic message-box constants, so they can be compared with stored or documented values directly.
enum MsgButtons : int { vbOKOnly = 0, vbOKCancel = 1, vbYesNoCancel = 3, vbYesNo = 4 };
enum MsgIcon : int { vbInformation = 64, vbQuestion = 32, vbExclamation = 48, vbCritical = 16 };
enum MsgAlign : int { AlignLeftText = 0, AlignRightText = 1, AlignCenterText = 2 };
enum MsgResponse : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

// Everything the core wants to tell the user goes through one sink. The widgets library installs a
// sink that shows the application's own message box and the platform's standard box; tests install
// a recorder that answers questions instead of blocking on a modal window.
class MessageSink {
public:
    virtual ~MessageSink() = default;

    // The application's own box: returns 1 OK, 2 Cancel, 6 Yes or 7 No.
    virtual int showMessage(const QString& text, int align, int buttons, int icon, const QString& title) = 0;

    // The platform's standard message box (store errors, the message box's own property errors,
    // "System Information Is Unavailable At This Time").
    virtual void showStandardBox(const QString& text, const QString& title, int icon) = 0;
};

// The sink in use; a sink that writes to standard error until another is installed.
MessageSink& Messages();
// Installs a sink (not owned); nullptr restores the default one.
void SetMessageSink(MessageSink* sink);

// One call of the application's message box.
int ShowMessage(const QString& text, int align, int buttons, int icon, const QString& title);

// The standard error report: the platform's box, critical icon, title "Rallymark Error".
QString ErrorReportText(const QString& description);
void ShowErrorReport(const QString& description);

inline const QString kErrorReportTitle = QStringLiteral("Rallymark Error");

} // namespace rm
