#include "data/MessageSink.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "ui/MessageBox.h"
#include "ui/WidgetMessageSink.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

using namespace rm;

namespace {

frmMessageBox* asBox(QDialog* d) {
    auto* box = qobject_cast<frmMessageBox*>(d);
    if (!box)
        qFatal("expected the application's message box, got %s", qPrintable(d->objectName()));
    return box;
}

QStringList shownButtons(QDialog* d) {
    QStringList names;
    for (const char* name : {"imgOK", "imgYes", "imgNo", "imgCancel"})
        if (test::child<QToolButton>(d, QString::fromLatin1(name))->isVisible())
            names << QString::fromLatin1(name);
    return names;
}

} // namespace

class MessageBoxTest : public QObject {
    Q_OBJECT

    WidgetMessageSink m_sink;

private Q_SLOTS:
    void init() { SetMessageSink(&m_sink); }
    void cleanup() { SetMessageSink(nullptr); }

    void buttonSetsAndAnswers_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("answer");
        const QStringList okOnly{"imgOK"}, okCancel{"imgOK", "imgCancel"},
            ync{"imgYes", "imgNo", "imgCancel"}, yn{"imgYes", "imgNo"};
        QTest::newRow("OK") << 0 << okOnly << "imgOK" << 1;
        QTest::newRow("OK/Cancel: OK") << 1 << okCancel << "imgOK" << 1;
        QTest::newRow("OK/Cancel: Cancel") << 1 << okCancel << "imgCancel" << 2;
        QTest::newRow("Yes/No/Cancel: Yes") << 3 << ync << "imgYes" << 6;
        QTest::newRow("Yes/No/Cancel: No") << 3 << ync << "imgNo" << 7;
        QTest::newRow("Yes/No/Cancel: Cancel") << 3 << ync << "imgCancel" << 2;
        QTest::newRow("Yes/No: Yes") << 4 << yn << "imgYes" << 6;
        QTest::newRow("Yes/No: No") << 4 << yn << "imgNo" << 7;
    }
    void buttonSetsAndAnswers() {
        QFETCH(int, buttons);
        QFETCH(QStringList, shown);
        QFETCH(QString, press);
        QFETCH(int, answer);
        test::ModalDriver driver;
        driver.then([&](QDialog* d) {
            QCOMPARE(shownButtons(d), shown);
            for (const QString& name : shown) {
                auto* b = test::child<QToolButton>(d, name);
                QVERIFY(!b->toolTip().isEmpty());
                QVERIFY(!b->accessibleName().isEmpty());
                QVERIFY(!b->icon().isNull());
            }
            test::child<QToolButton>(d, press)->click();
        });
        QCOMPARE(ShowMessage(QStringLiteral("Question?"), AlignCenterText, buttons, vbQuestion,
                             QStringLiteral("Ask")),
                 answer);
        QCOMPARE(driver.shown, QStringList{QStringLiteral("frmMessageBox")});
    }

    void iconsTitleTextAndAlignment() {
        const QList<QPair<int, int>> icons{{0, 1}, {64, 1}, {32, 2}, {48, 3}, {16, 4}};
        for (const auto& [type, image] : icons) {
            test::ModalDriver driver;
            driver.then([&](QDialog* d) {
                QCOMPARE(asBox(d)->iconImage(), image);
                QVERIFY(!test::child<QLabel>(d, QStringLiteral("imgIcon"))->pixmap().isNull());
                d->reject();
            });
            ShowMessage(QStringLiteral("x"), AlignLeftText, vbOKOnly, type, QStringLiteral("t"));
        }

        const QList<QPair<int, Qt::Alignment>> aligns{
            {0, Qt::AlignLeft}, {1, Qt::AlignRight}, {2, Qt::AlignHCenter}};
        for (const auto& [align, expected] : aligns) {
            test::ModalDriver driver;
            driver.then([&](QDialog* d) {
                QCOMPARE(asBox(d)->textAlignment(), expected);
                QCOMPARE(d->windowTitle(), QStringLiteral("Padded Title"));
                // Leading and trailing blanks do not appear.
                QCOMPARE(test::child<QTextEdit>(d, QStringLiteral("txtMessage"))->toPlainText(),
                         QStringLiteral("First line\n  second line"));
                d->reject();
            });
            ShowMessage(QStringLiteral("   First line\n  second line \n "), align, vbOKOnly, vbInformation,
                        QStringLiteral("  Padded Title  "));
        }
    }

    // Each property out of range gives its own report in the standard box; the box is then not
    // offered, and the answer is that of a close (never an earlier answer).
    void invalidProperties() {
        test::RecordingSink sink;
        struct Case {
            int buttons, type, align;
            QString title, text;
            QStringList reports;
            int answer;
        };
        const QString prefix = QStringLiteral("Invalid Custom Message Box ");
        const QList<Case> cases{
            {2, 64, 0, "T", "x", {prefix + "Buttons Property"}, 0},
            {5, 64, 0, "T", "x", {prefix + "Buttons Property"}, 0},
            {4, 99, 0, "T", "x", {prefix + "Type Property"}, 7},
            {1, 64, 0, "   ", "x", {prefix + "Title Property"}, 2},
            {0, 64, 0, "T", " \n ", {prefix + "Text Property"}, 1},
            {3, 64, 3, "T", "x", {prefix + "Text Alignment Property"}, 2},
            {9,
             1,
             -1,
             "",
             "",
             {prefix + "Buttons Property", prefix + "Type Property", prefix + "Title Property",
              prefix + "Text Property", prefix + "Text Alignment Property"},
             0},
        };
        for (const Case& c : cases) {
            sink.clear();
            test::ModalDriver driver;
            QCOMPARE(ShowMessageBox(c.text, c.align, c.buttons, c.type, c.title), c.answer);
            QVERIFY(driver.shown.isEmpty());
            QStringList reports;
            for (const auto& m : sink.messages) {
                QVERIFY(m.standardBox);
                QCOMPARE(m.title, QStringLiteral("Custom Runtime Error"));
                QCOMPARE(m.icon, int(vbCritical));
                reports << m.text;
            }
            QCOMPARE(reports, c.reports);
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

    // Enter presses the first button shown; Escape and the close box answer Cancel, else No, else OK.
    void keyboardAndCloseBox() {
        struct Case {
            int buttons;
            int enter, escape;
        };
        const QList<Case> cases{{0, 1, 1}, {1, 1, 2}, {3, 6, 2}, {4, 6, 7}};
        for (const Case& c : cases) {
            for (int how = 0; how < 3; ++how) {
                test::ModalDriver driver;
                driver.then([&](QDialog* d) {
                    QWidget* focus = test::child<QLineEdit>(d, QStringLiteral("txtFocus"));
                    if (how == 0)
                        QTest::keyClick(focus, Qt::Key_Return);
                    else if (how == 1)
                        QTest::keyClick(focus, Qt::Key_Escape);
                    else
                        d->close();
                    QVERIFY(!d->isVisible());
                });
                const int expected = how == 0 ? c.enter : c.escape;
                QCOMPARE(ShowMessage(QStringLiteral("x"), 0, c.buttons, 32, QStringLiteral("t")), expected);
            }
        }

        // A Yes for one question is not the answer of the next one that is closed without a button.
        test::ModalDriver driver;
        driver.then([](QDialog* d) { test::child<QToolButton>(d, QStringLiteral("imgYes"))->click(); });
        driver.then([](QDialog* d) { d->close(); });
        QCOMPARE(ShowMessage(QStringLiteral("Delete?"), 0, vbYesNo, 32, QStringLiteral("t")), int(vbYes));
        QCOMPARE(ShowMessage(QStringLiteral("Delete more?"), 0, vbYesNo, 32, QStringLiteral("t")), int(vbNo));
    }

    void scrollBarOnlyWhenTextDoesNotFit() {
        QVERIFY(!NeedsVerticalScrollBar(0, 4, 45, 10)); // 4.5 lines show as 4
        QVERIFY(NeedsVerticalScrollBar(0, 5, 45, 10));
        QVERIFY(!NeedsVerticalScrollBar(0, 5, 55, 10)); // 5.5 lines show as 6
        QVERIFY(!NeedsVerticalScrollBar(0, 6, 65, 10)); // 6.5 lines show as 6
        QVERIFY(NeedsVerticalScrollBar(0, 7, 65, 10));
        QVERIFY(NeedsVerticalScrollBar(1, 1, 100, 10)); // scrolled away from the first line

        auto shownFor = [](const QString& text) {
            bool shown = false;
            test::ModalDriver driver;
            driver.then([&](QDialog* d) {
                shown = asBox(d)->scrollBarShown();
                d->reject();
            });
            ShowMessage(text, 0, 0, 64, QStringLiteral("t"));
            return shown;
        };
        QVERIFY(!shownFor(QStringLiteral("One line.\nAnd another.\nAnd a third.")));
        QStringList many;
        for (int i = 1; i <= 30; ++i)
            many << QStringLiteral("Line %1").arg(i);
        QVERIFY(shownFor(many.join(QLatin1Char('\n'))));
        // One paragraph long enough to wrap over many lines.
        QVERIFY(shownFor(QStringLiteral("word ").repeated(400)));
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
