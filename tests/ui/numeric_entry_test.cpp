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
        offset.setFocus();
        QTest::keyClicks(&offset, QStringLiteral("-3a0-0 .5"));
        QCOMPARE(offset.text(), QStringLiteral("-3005"));
        QTest::keyClick(&offset, Qt::Key_Backspace);
        QCOMPARE(offset.text(), QStringLiteral("-300"));
        // Minus with the caret after the first character is swallowed; over a selected minus accepted.
        offset.setCursorPosition(1);
        QTest::keyClick(&offset, Qt::Key_Minus);
        QCOMPARE(offset.text(), QStringLiteral("-300"));
        offset.setSelection(0, 1);
        QTest::keyClick(&offset, Qt::Key_Minus);
        QCOMPARE(offset.text(), QStringLiteral("-300"));

        QLineEdit digits;
        AttachNumericFilter(&digits, false, false, 0);
        QTest::keyClicks(&digits, QStringLiteral("1-2.3 x4"));
        QCOMPARE(digits.text(), QStringLiteral("1234"));
    }

    void pasteIsFiltered() {
        QLineEdit digits;
        AttachNumericFilter(&digits, false, false, 0);
        digits.setText(QStringLiteral("12"));
        QGuiApplication::clipboard()->setText(QStringLiteral("3x"));
        digits.paste(); // the context menu's and the middle button's way in
        QCOMPARE(digits.text(), QStringLiteral("12"));
        QGuiApplication::clipboard()->setText(QStringLiteral("34"));
        digits.paste();
        QCOMPARE(digits.text(), QStringLiteral("1234"));
        // The paste shortcut is a control key: swallowed like every other.
        QGuiApplication::clipboard()->setText(QStringLiteral("5"));
        QTest::keyClick(&digits, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(digits.text(), QStringLiteral("1234"));
        digits.insert(QStringLiteral("-1")); // dropped text arrives the same way
        QCOMPARE(digits.text(), QStringLiteral("1234"));
    }

    void selectAllOnFocus() {
        QWidget window;
        auto* a = new QLineEdit(QStringLiteral("first"), &window);
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
