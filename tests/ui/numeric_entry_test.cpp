// Numeric fields: key presses go through the key filter, and text that arrives another way is
// refused unless the filter could have produced it.

#include "ui/NumericEntry.h"

#include "support/TestKit.h"

using namespace rm;

class NumericEntryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typing() {
        QLineEdit offset;
        AttachNumericFilter(&offset, true, false, 0);
        QTest::keyClicks(&offset, QStringLiteral("-3a0-0 .5"));
        QTest::keyClick(&offset, Qt::Key_Backspace);
        QCOMPARE(offset.text(), QStringLiteral("-300"));
        // Minus with the caret after the first character is swallowed; over a selected minus accepted.
        offset.setCursorPosition(1);
        QTest::keyClick(&offset, Qt::Key_Minus);
        offset.setSelection(0, 1);
        QTest::keyClick(&offset, Qt::Key_Minus);
        QCOMPARE(offset.text(), QStringLiteral("-300"));
        QLineEdit digits;
        AttachNumericFilter(&digits, false, false, 0);
        QTest::keyClicks(&digits, QStringLiteral("1-2.3 x4"));
        QCOMPARE(digits.text(), QStringLiteral("1234"));
    }

    void pasteIsFiltered() {
        QLineEdit digits(QStringLiteral("12"));
        AttachNumericFilter(&digits, false, false, 0);
        for (const char* clip : {"3x", "34"}) { // the context menu's and the middle button's way in
            QGuiApplication::clipboard()->setText(QString::fromLatin1(clip));
            digits.paste();
        }
        QCOMPARE(digits.text(), QStringLiteral("1234"));
        // The paste shortcut is a control key: swallowed like every other; dropped text is filtered.
        QTest::keyClick(&digits, Qt::Key_V, Qt::ControlModifier);
        digits.insert(QStringLiteral("-1"));
        QCOMPARE(digits.text(), QStringLiteral("1234"));
    }

    void selectAllOnFocus() {
        QWidget window;
        auto* a = new QLineEdit(&window);
        auto* b = new QLineEdit(QStringLiteral("second"), &window);
        SelectAllOnFocus(b);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        a->setFocus();
        b->setFocus();
        QTRY_COMPARE(b->selectedText(), QStringLiteral("second"));
    }
};

QTEST_MAIN(NumericEntryTest)
#include "numeric_entry_test.moc"
