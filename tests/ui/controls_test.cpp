// The application's message box and the numeric entry fields.

#include "data/MessageSink.h"
#include "support/TestKit.h"
#include "ui/MessageBox.h"
#include "ui/NumericEntry.h"
#include "ui/WidgetMessageSink.h"

using namespace rm;

namespace {

// Shows one box and hands it to `step`, which must close it; returns the answer.
int ask(int buttons, const std::function<void(QDialog*)>& step, const QString& text = QStringLiteral("x"),
        int type = vbQuestion, int align = 0, const QString& title = QStringLiteral("t")) {
    test::ModalDriver driver;
    driver.then([&](QDialog* d) {
        QVERIFY(qobject_cast<frmMessageBox*>(d));
        step(d);
        QVERIFY(!d->isVisible());
    });
    const int answer = ShowMessage(text, align, buttons, type, title);
    if (driver.shown != QStringList{QStringLiteral("frmMessageBox")})
        qFatal("the message box was not shown");
    return answer;
}

} // namespace

class ControlsTest : public QObject {
    Q_OBJECT

    WidgetMessageSink m_sink;

    static frmMessageBox* asBox(QDialog* d) { return static_cast<frmMessageBox*>(d); }

private Q_SLOTS:
    void init() { SetMessageSink(&m_sink); }
    void cleanup() { SetMessageSink(nullptr); }

    // The buttons each set shows, and the answer of each way out: a button, Enter (the first button
    // shown), Escape and the close box (Cancel, else No, else OK).
    void buttonsAndAnswers_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("answer");
        const QList<std::tuple<int, const char*, const char*>> sets{
            {0, "imgOK", "imgOK=1 Return=1 Escape=1 close=1"},
            {1, "imgOK imgCancel", "imgOK=1 imgCancel=2 Return=1 Escape=2 close=2"},
            {3, "imgYes imgNo imgCancel", "imgYes=6 imgNo=7 imgCancel=2 Return=6 Escape=2 close=2"},
            {4, "imgYes imgNo", "imgYes=6 imgNo=7 Return=6 Escape=7 close=7"}};
        for (const auto& [buttons, shown, answers] : sets)
            for (const QString& a : QString::fromLatin1(answers).split(QLatin1Char(' ')))
                QTest::addRow("%d %s", buttons, qPrintable(a.section(QLatin1Char('='), 0, 0)))
                    << buttons << QString::fromLatin1(shown) << a.section(QLatin1Char('='), 0, 0)
                    << a.section(QLatin1Char('='), 1).toInt();
    }
    void buttonsAndAnswers() {
        QFETCH(int, buttons);
        QFETCH(QString, shown);
        QFETCH(QString, press);
        QFETCH(int, answer);
        const int got = ask(buttons, [&](QDialog* d) {
            QString visible;
            for (const char* name : {"imgOK", "imgYes", "imgNo", "imgCancel"})
                visible += test::child<QToolButton>(d, name)->isVisible() ? name + QStringLiteral(" ") : "";
            QCOMPARE(visible.trimmed(), shown);
            if (press == QLatin1String("Return") || press == QLatin1String("Escape"))
                QTest::keyClick(test::child<QLineEdit>(d, QStringLiteral("txtFocus")),
                                press == QLatin1String("Return") ? Qt::Key_Return : Qt::Key_Escape);
            else if (press == QLatin1String("close"))
                d->close();
            else
                test::Click(d, press);
        });
        QCOMPARE(got, answer);
        // A button's answer is not that of the next box closed without one.
        QCOMPARE(ask(vbYesNo, [](QDialog* d) { d->close(); }), int(vbNo));
    }

    // The icon picture follows the type (unknown types show the information icon), the text its
    // alignment; blanks around title and text do not appear.
    void iconsTitleTextAndAlignment() {
        const Qt::Alignment aligned[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
        const QList<std::array<int, 3>> cases{{0, 1, 0}, {64, 1, 1}, {32, 2, 2}, {48, 3, 0}, {16, 4, 1}};
        for (const auto& [type, image, align] : cases) { // type, icon picture, alignment
            const auto check = [&](QDialog* d) {
                QVERIFY(!test::child<QLabel>(d, "imgIcon")->pixmap().isNull());
                QVERIFY(asBox(d)->iconImage() == image && asBox(d)->textAlignment() == aligned[align]);
                QCOMPARE(d->windowTitle() + '|' + test::child<QTextEdit>(d, "txtMessage")->toPlainText(),
                         QStringLiteral("Padded Title|First line\n  second line"));
                d->reject();
            };
            ask(vbOKOnly, check, "   First line\n  second line \n ", type, align, "  Padded Title  ");
        }
    }

    // Each property out of range gives its own report in the standard box; the box is then not
    // offered, and the answer is that of a close.
    void invalidProperties() {
        test::RecordingSink sink;
        const QList<std::tuple<int, int, int, QString, QString, QString, int>> cases{
            // buttons, type, alignment, title, text, the reported properties, answer
            {2, 64, 0, "T", "x", "Buttons", 0},
            {4, 99, 0, "T", "x", "Type", 7},
            {1, 64, 0, "   ", "x", "Title", 2},
            {0, 64, 0, "T", " \n ", "Text", 1},
            {3, 64, 3, "T", "x", "Text Alignment", 2},
            {9, 1, -1, "", "", "Buttons|Type|Title|Text|Text Alignment", 0}};
        for (const auto& [buttons, type, align, title, text, properties, answer] : cases) {
            sink.clear();
            test::ModalDriver driver;
            QCOMPARE(ShowMessageBox(text, align, buttons, type, title), answer);
            QVERIFY(driver.shown.isEmpty());
            QStringList reports;
            for (const auto& m : sink.messages) {
                QVERIFY(m.standardBox && m.icon == vbCritical &&
                        m.title == QLatin1String("Custom Runtime Error"));
                QVERIFY(m.text.startsWith(QLatin1String("Invalid Custom Message Box ")) &&
                        m.text.endsWith(QLatin1String(" Property")));
                reports << m.text.section(QLatin1Char(' '), 4, -2);
            }
            QCOMPARE(reports.join(QLatin1Char('|')), properties);
        }
    }

    void scrollBarOnlyWhenTextDoesNotFit() {
        // first visible line, lines, area height, line height: 4.5 lines show as 4, 5.5 and 6.5 as 6.
        const QList<std::tuple<int, int, int, bool>> cases{{0, 4, 45, false}, {0, 5, 45, true},
                                                           {0, 5, 55, false}, {0, 6, 65, false},
                                                           {0, 7, 65, true},  {1, 1, 100, true}};
        for (const auto& [first, lines, height, needed] : cases)
            QCOMPARE(NeedsVerticalScrollBar(first, lines, height, 10), needed);
        for (const int words : {4, 400}) { // a short text, and one paragraph that wraps over many lines
            bool shown = false;
            ask(
                vbOKOnly, [&](QDialog* d) { shown = asBox(d)->scrollBarShown(), d->reject(); },
                QStringLiteral("word ").repeated(words));
            QCOMPARE(shown, words > 4);
        }
    }

    // Numeric fields: key presses go through the key filter, and text that arrives another way
    // (pasted, dropped) is refused unless the filter could have produced it.
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
        QTest::keyClicks(&digits, QStringLiteral("1-2. x"));
        for (const char* clip : {"3x", "34"}) { // the context menu's and the middle button's way in
            QGuiApplication::clipboard()->setText(QString::fromLatin1(clip));
            digits.paste();
        }
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

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
