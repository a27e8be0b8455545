#pragma once

#include "data/MessageSink.h"

#include <QList>
#include <QString>

namespace rm::test {

// Records every message and answers questions from a queue instead of showing a window.
class RecordingSink final : public MessageSink {
public:
    struct Message {
        QString text;
        int align = 0;
        int buttons = 0;
        int icon = 0;
        QString title;
        bool standardBox = false; // the platform's box (error reports) rather than the application's
    };

    RecordingSink();
    ~RecordingSink() override;

    int showMessage(const QString& text, int align, int buttons, int icon, const QString& title) override;
    void showStandardBox(const QString& text, const QString& title, int icon) override;

    // Answers for the next questions, in order; without one a question gets its first button.
    void answer(int response) { m_answers << response; }
    void clear() { messages.clear(); }
    bool contains(const QString& textPart) const;
    QStringList titles() const;
    int count() const { return static_cast<int>(messages.size()); }
    const Message& last() const { return messages.last(); }

    QList<Message> messages;

private:
    QList<int> m_answers;
};

} // namespace rm::test
