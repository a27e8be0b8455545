#include "data/MessageSink.h"
#include "support/TestKit.h"
#include "ui/MessageBox.h"
#include "ui/WidgetMessageSink.h"

using namespace rm;

namespace {

frmMessageBox* asBox(QDialog* d) {
    auto* box = qobject_cast<frmMessageBox*>(d);
    if (!box)
        qFatal("expected the application's message box, got %s", qPrintable(d->objectName()));
    return box;
}

// Shows one box and hands it to `step`, which must close it; returns the answer.
int ask(int buttons, const std::function<void(QDialog*)>& step, const QString& text = QStringLiteral("x"),
        int type = vbQuestion, int align = 0, const QString& title = QStringLiteral("t")) {
    test::ModalDriver driver;
    driver.then([&](QDialog* d) {
        step(d);
        QVERIFY(!d->isVisible());
    });
    const int answer = ShowMessage(text, align, buttons, type, title);
    if (driver.shown != QStringList{QStringLiteral("frmMessageBox")})
        qFatal("the message box was not shown");
    return answer;
}

} // namespace

class MessageBoxTest : public QObject {
    Q_OBJECT

    WidgetMessageSink m_sink;

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
        const struct {
            int buttons;
            const char* shown;
            QList<QPair<const char*, int>> answers;
        } sets[] = {
            {0, "imgOK", {{"imgOK", 1}, {"Return", 1}, {"Escape", 1}, {"close", 1}}},
            {1,
             "imgOK imgCancel",
             {{"imgOK", 1}, {"imgCancel", 2}, {"Return", 1}, {"Escape", 2}, {"close", 2}}},
            {3,
             "imgYes imgNo imgCancel",
             {{"imgYes", 6}, {"imgNo", 7}, {"imgCancel", 2}, {"Return", 6}, {"Escape", 2}, {"close", 2}}},
            {4, "imgYes imgNo", {{"imgYes", 6}, {"imgNo", 7}, {"Return", 6}, {"Escape", 7}, {"close", 7}}},
        };
        for (const auto& set : sets)
            for (const auto& [press, answer] : set.answers)
                QTest::addRow("%d %s", set.buttons, press)
                    << set.buttons << QString::fromLatin1(set.shown) << QString::fromLatin1(press) << answer;
    }
    void buttonsAndAnswers() {
        QFETCH(int, buttons);
        QFETCH(QString, shown);
        QFETCH(QString, press);
        QFETCH(int, answer);
        const int got = ask(buttons, [&](QDialog* d) {
            QStringList visible;
            for (const char* name : {"imgOK", "imgYes", "imgNo", "imgCancel"}) {
                auto* b = test::child<QToolButton>(d, QString::fromLatin1(name));
                if (b->isVisible())
                    visible << b->objectName();
                QVERIFY(!b->toolTip().isEmpty() && !b->accessibleName().isEmpty() && !b->icon().isNull());
            }
            QCOMPARE(visible.join(QLatin1Char(' ')), shown);
            if (press == QLatin1String("Return") || press == QLatin1String("Escape"))
                QTest::keyClick(test::child<QLineEdit>(d, QStringLiteral("txtFocus")),
                                press == QLatin1String("Return") ? Qt::Key_Return : Qt::Key_Escape);
            else if (press == QLatin1String("close"))
                d->close();
            else
                test::child<QToolButton>(d, press)->click();
        });
        QCOMPARE(got, answer);
    }

    // A Yes for one question is not the answer of the next one that is closed without a button.
    void noStaleAnswer() {
        QCOMPARE(
            ask(vbYesNo, [](QDialog* d) { test::child<QToolButton>(d, QStringLiteral("imgYes"))->click(); }),
            int(vbYes));
        QCOMPARE(ask(vbYesNo, [](QDialog* d) { d->close(); }), int(vbNo));
    }

    // The icon picture follows the type (unknown types show the information icon), the text its
    // alignment; blanks around title and text do not appear.
    void iconsTitleTextAndAlignment() {
        const QList<std::tuple<int, int, int, Qt::Alignment>> cases{{0, 1, 0, Qt::AlignLeft},
                                                                    {64, 1, 1, Qt::AlignRight},
                                                                    {32, 2, 2, Qt::AlignHCenter},
                                                                    {48, 3, 0, Qt::AlignLeft},
                                                                    {16, 4, 1, Qt::AlignRight}};
        for (const auto& [type, image, align, expected] : cases) {
            const auto check = [&](QDialog* d) {
                QCOMPARE(asBox(d)->iconImage(), image);
                QVERIFY(!test::child<QLabel>(d, QStringLiteral("imgIcon"))->pixmap().isNull());
                QCOMPARE(asBox(d)->textAlignment(), expected);
                QCOMPARE(d->windowTitle(), QStringLiteral("Padded Title"));
                QCOMPARE(test::child<QTextEdit>(d, QStringLiteral("txtMessage"))->toPlainText(),
                         QStringLiteral("First line\n  second line"));
                d->reject();
            };
            ask(vbOKOnly, check, QStringLiteral("   First line\n  second line \n "), type, align,
                QStringLiteral("  Padded Title  "));
        }
    }

    // Each property out of range gives its own report in the standard box; the box is then not
    // offered, and the answer is that of a close (never an earlier answer).
    void invalidProperties() {
        test::RecordingSink sink;
        struct Case {
            int buttons, type, align;
            QString title, text, reports; // the reports' property names, joined by '|'
            int answer;
        };
        const QList<Case> cases{
            {2, 64, 0, "T", "x", "Buttons", 0},
            {5, 64, 0, "T", "x", "Buttons", 0},
            {4, 99, 0, "T", "x", "Type", 7},
            {1, 64, 0, "   ", "x", "Title", 2},
            {0, 64, 0, "T", " \n ", "Text", 1},
            {3, 64, 3, "T", "x", "Text Alignment", 2},
            {9, 1, -1, "", "", "Buttons|Type|Title|Text|Text Alignment", 0},
        };
        for (const Case& c : cases) {
            sink.clear();
            test::ModalDriver driver;
            QCOMPARE(ShowMessageBox(c.text, c.align, c.buttons, c.type, c.title), c.answer);
            QVERIFY(driver.shown.isEmpty());
            QStringList reports, expected;
            for (const auto& m : sink.messages) {
                QVERIFY(m.standardBox && m.icon == vbCritical);
                QCOMPARE(m.title, QStringLiteral("Custom Runtime Error"));
                reports << m.text;
            }
            for (const QString& property : c.reports.split(QLatin1Char('|')))
                expected << QStringLiteral("Invalid Custom Message Box %1 Property").arg(property);
            QCOMPARE(reports, expected);
        }

        // Shown directly, an invalid box closes again as soon as it is on screen.
        frmMessageBox box;
        box.MsgBoxButtons = 2;
        box.MsgBoxTitle = QStringLiteral("T");
        box.MsgBoxText = QStringLiteral("x");
        QVERIFY(!box.loadBox());
        box.show();
        QTRY_VERIFY(!box.isVisible());
    }

    void scrollBarOnlyWhenTextDoesNotFit() {
        QVERIFY(!NeedsVerticalScrollBar(0, 4, 45, 10)); // 4.5 lines show as 4
        QVERIFY(NeedsVerticalScrollBar(0, 5, 45, 10));
        QVERIFY(!NeedsVerticalScrollBar(0, 5, 55, 10)); // 5.5 lines show as 6
        QVERIFY(!NeedsVerticalScrollBar(0, 6, 65, 10)); // 6.5 lines show as 6
        QVERIFY(NeedsVerticalScrollBar(0, 7, 65, 10));
        QVERIFY(NeedsVerticalScrollBar(1, 1, 100, 10)); // scrolled away from the first line
        // Many short lines, and one paragraph long enough to wrap over many lines.
        for (const QString& text :
             {QStringLiteral("One line.\nAnd another.\nAnd a third."),
              QStringLiteral("A line\n").repeated(30), QStringLiteral("word ").repeated(400)}) {
            bool shown = false;
            const auto look = [&](QDialog* d) {
                shown = asBox(d)->scrollBarShown();
                d->reject();
            };
            ask(vbOKOnly, look, text, vbInformation);
            QCOMPARE(shown, text.size() > 50);
        }
    }

    void standardBoxGoesThroughTheModalRunner() {
        test::ModalDriver driver;
        driver.then([](QDialog* d) {
            auto* box = qobject_cast<QMessageBox*>(d);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QStringLiteral("Rallymark Error"));
            QCOMPARE(box->text(), QStringLiteral("Rallymark encountered the following error:\n\nDisk full"));
            QCOMPARE(box->icon(), QMessageBox::Critical);
            box->accept();
        });
        ShowErrorReport(QStringLiteral("Disk full"));
        QCOMPARE(driver.shown, QStringList{QStringLiteral("StandardMessageBox")});
    }
};

QTEST_MAIN(MessageBoxTest)
#include "messagebox_test.moc"
