#include "ui/NumericEntry.h"

#include "data/NumericKey.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QValidator>

namespace rm {

namespace {

class NumericValidator final : public QValidator {
public:
    NumericValidator(bool allowMinus, bool allowPoint, int decimals, QObject* parent)
        : QValidator(parent), m_allowMinus(allowMinus), m_allowPoint(allowPoint), m_decimals(decimals) {}

    State validate(QString& input, int&) const override {
        return IsAcceptableNumericText(input, m_allowMinus, m_allowPoint, m_decimals) ? Acceptable : Invalid;
    }

private:
    bool m_allowMinus;
    bool m_allowPoint;
    int m_decimals;
};

class NumericKeyFilter final : public QObject {
public:
    NumericKeyFilter(bool allowMinus, bool allowPoint, int decimals, QObject* parent)
        : QObject(parent), m_allowMinus(allowMinus), m_allowPoint(allowPoint), m_decimals(decimals) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* edit = qobject_cast<QLineEdit*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (!edit)
            return false;
        // Keys that type nothing (arrows, Home, End, Delete, Tab) move or edit as usual.
        if (key->key() == Qt::Key_Backspace)
            return false;
        if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        const QString text = key->text();
        if (text.isEmpty())
            return false;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape)
            return false;
        NumericField field;
        field.text = edit->text();
        field.selectedText = edit->selectedText();
        field.caret = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        const int code = text.at(0).unicode();
        return FilterNumericKey(field, code, m_allowMinus, m_allowPoint, m_decimals) == 0;
    }

private:
    bool m_allowMinus;
    bool m_allowPoint;
    int m_decimals;
};

class SelectAllFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            if (auto* edit = qobject_cast<QLineEdit*>(watched))
                QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
            else if (auto* text = qobject_cast<QPlainTextEdit*>(watched))
                QTimer::singleShot(0, text, [text] { text->selectAll(); });
        }
        return false;
    }
};

} // namespace

void AttachNumericFilter(QLineEdit* edit, bool allowMinus, bool allowPoint, int decimals) {
    edit->setValidator(new NumericValidator(allowMinus, allowPoint, decimals, edit));
    edit->installEventFilter(new NumericKeyFilter(allowMinus, allowPoint, decimals, edit));
}

void SelectAllOnFocus(QLineEdit* edit) {
    // Once per field, however often it is asked for.
    if (edit->property("rmSelectAllOnFocus").toBool())
        return;
    edit->setProperty("rmSelectAllOnFocus", true);
    edit->installEventFilter(new SelectAllFilter(edit));
}

void SelectAllOnFocus(QPlainTextEdit* edit) {
    if (edit->property("rmSelectAllOnFocus").toBool())
        return;
    edit->setProperty("rmSelectAllOnFocus", true);
    edit->installEventFilter(new SelectAllFilter(edit));
}

} // namespace rm
