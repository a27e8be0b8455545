#pragma once

#include "comms/AvailabilityPage.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QToolButton;
class QTreeWidget;

namespace rm {

// "Ask for availability": the pages of the chosen players, mailed (the message kept as a template)
// or written into a folder.
class frmAskAvailability : public QDialog {
    Q_OBJECT

public:
    // No keys: every active player.
    explicit frmAskAvailability(const QList<qint32>& players, QWidget* parent = nullptr);

public Q_SLOTS:
    void send();
    void chooseFolder();

private:
    QList<PageRecipient> m_recipients;
    QListWidget* lstPlayers = nullptr;
    QRadioButton* optMail = nullptr;
    QRadioButton* optFolder = nullptr;
    QLineEdit* txtSubject = nullptr;
    QPlainTextEdit* txtMessage = nullptr;
    QLineEdit* txtFolder = nullptr;
    QToolButton* imgBrowse = nullptr;
    QToolButton* imgButton1 = nullptr;
    QToolButton* imgButton2 = nullptr;
};

// "Paste replies": the replies found in a pasted text with the old and the new week of each player,
// and Confirm, which writes every accepted one at once.
class frmPasteReplies : public QDialog {
    Q_OBJECT

public:
    explicit frmPasteReplies(QWidget* parent = nullptr);
    const QList<ReplyReview>& reviews() const { return m_reviews; }

public Q_SLOTS:
    void readReplies();
    void confirm();

private:
    QList<ReplyReview> m_reviews;
    QPlainTextEdit* txtReplies = nullptr;
    QTreeWidget* lsvReplies = nullptr;
    QLabel* lblSummary = nullptr;
    QToolButton* imgButton1 = nullptr;
    QToolButton* imgButton2 = nullptr;
};

// Opens the dialogs modally; true when something was written.
void AskForAvailability(const QList<qint32>& players, QWidget* parent);
bool PasteReplies(QWidget* parent);

} // namespace rm
