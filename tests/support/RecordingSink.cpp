#include "support/RecordingSink.h"

namespace rm::test {

RecordingSink::RecordingSink() {
    SetMessageSink(this);
}

RecordingSink::~RecordingSink() {
    SetMessageSink(nullptr);
}

int RecordingSink::showMessage(const QString& text, int align, int buttons, int icon, const QString& title) {
    messages << Message{text, align, buttons, icon, title, false};
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return buttons == vbYesNo || buttons == vbYesNoCancel ? vbYes : vbOK;
}

void RecordingSink::showStandardBox(const QString& text, const QString& title, int icon) {
    messages << Message{text, 0, vbOKOnly, icon, title, true};
}

bool RecordingSink::contains(const QString& textPart) const {
    for (const Message& m : messages)
        if (m.text.contains(textPart))
            return true;
    return false;
}

QStringList RecordingSink::titles() const {
    QStringList result;
    for (const Message& m : messages)
        result << m.title;
    return result;
}

} // namespace rm::test
