#pragma once

#include "comms/DiscordWebhook.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QToolButton;

namespace rm {

// "Discord Post": the text of a post as it will go, with Copy (the same text to the clipboard, for
// posting by hand) and Post (to the channels; the outcome is shown and says which parts went).
class frmDiscordPreview : public QDialog {
    Q_OBJECT

public:
    frmDiscordPreview(const DiscordPost& post, const QList<DiscordTarget>& targets,
                      QWidget* parent = nullptr);

    // The poster the dialog uses (tests point it at their own authority).
    DiscordWebhook& poster() { return m_poster; }
    // What the last Post did; empty before one.
    const QList<WebhookOutcome>& outcomes() const { return m_outcomes; }

public Q_SLOTS:
    void copyText();
    void postNow();

private:
    DiscordPost m_post;
    QList<DiscordTarget> m_targets;
    QList<DiscordMessage> m_messages;
    DiscordWebhook m_poster;
    QList<WebhookOutcome> m_outcomes;
    QLabel* lblChannels = nullptr;
    QPlainTextEdit* txtPreview = nullptr;
    QToolButton* imgCopy = nullptr;
    QToolButton* imgPost = nullptr;
    QToolButton* imgButton2 = nullptr;
};

// Shows the preview modally.
void OpenDiscordPreview(const DiscordPost& post, const QList<DiscordTarget>& targets, QWidget* parent);

} // namespace rm
