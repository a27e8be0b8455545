#pragma once

#include "data/MessageSink.h"

#include <QList>
#include <QStringList>

#include <algorithm>

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

    RecordingSink() { SetMessageSink(this); }
    ~RecordingSink() override { SetMessageSink(nullptr); }

    int showMessage(const QString& text, int align, int buttons, int icon, const QString& title) override {
        messages << Message{text, align, buttons, icon, title, false};
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        return buttons == vbYesNo || buttons == vbYesNoCancel ? vbYes : vbOK;
    }
    void showStandardBox(const QString& text, const QString& title, int icon) override {
        messages << Message{text, 0, vbOKOnly, icon, title, true};
    }

    // Answers for the next questions, in order; without one a question gets its first button.
    void answer(int response) { m_answers << response; }
    void clear() { messages.clear(); }
    bool contains(const QString& textPart) const {
        return std::any_of(messages.begin(), messages.end(),
                           [&](const Message& m) { return m.text.contains(textPart); });
    }
    QStringList titles() const {
        QStringList result;
        for (const Message& m : messages)
            result << m.title;
        return result;
    }
    int count() const { return static_cast<int>(messages.size()); }
    const Message& last() const { return messages.last(); }

    QList<Message> messages;

private:
    QList<int> m_answers;
};

} // namespace rm::test
