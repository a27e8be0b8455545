#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QTextEdit;
class QToolButton;

namespace rm {

// The application's own message box. ShowMessage sets the properties and shows it modally; the
// answer is the button pressed.
class frmMessageBox : public QDialog {
    Q_OBJECT

public:
    explicit frmMessageBox(QWidget* parent = nullptr);

    int MsgBoxType = 0;
    int MsgBoxButtons = 0;
    int MsgBoxResponse = 0; // set by the buttons, and by Escape or the close box
    QString MsgBoxTitle;
    QString MsgBoxText;
    int MsgBoxTextAlign = 0;

    // Applies the properties to the window. Each property out of range is reported in the platform's
    // standard box; returns false when any was.
    bool loadBox();
    bool isInvalid() const { return m_invalid; }

    // Number of the icon shown: 1 information, 2 question, 3 exclamation, 4 critical, 0 none yet.
    int iconImage() const { return m_iconImage; }
    Qt::Alignment textAlignment() const;
    bool scrollBarShown() const;
    // The answer of a close without a button: Cancel where shown, else No, else OK (0 with no button).
    int dismissResponse() const;

    // Shows the text area's vertical scroll bar only when the text does not fit.
    void ShowScrollBars();

    // Presses the first shown button (Enter).
    void pressDefault();
    void pressButton(int response);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reportInvalid(const QString& text);

    QLabel* imgIcon = nullptr;
    QFrame* fmeMessage = nullptr;
    QTextEdit* txtMessage = nullptr;
    QToolButton* imgOK = nullptr;
    QToolButton* imgYes = nullptr;
    QToolButton* imgNo = nullptr;
    QToolButton* imgCancel = nullptr;
    QLineEdit* txtFocus = nullptr;
    bool m_invalid = false;
    int m_iconImage = 0;
};

// Whether a text area shows its vertical scroll bar: always once scrolled away from the first line,
// otherwise when the text has more lines than the area shows (visible lines = area height / line
// height, rounded half to even).
bool NeedsVerticalScrollBar(int firstVisibleLine, int lineCount, int areaHeight, int lineHeight);

// One showing of the application's message box: sets the properties in order, shows it modally
// (through RunModal) unless a property was invalid, and returns the response.
int ShowMessageBox(const QString& text, int align, int buttons, int type, const QString& title);

} // namespace rm
