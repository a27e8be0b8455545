#include "comms/HtmlExport.h"
#include "support/RosterRows.h"
#include "support/TestDatabase.h"

#include <QtTest>

using namespace rm;

// A saved roster page declares its encoding, and every name stands in it once, escaped, so a
// browser shows it as it was entered.
class HtmlPageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesAppearEscapedOnce() {
        test::TestDatabase db;
        const QString division = QStringLiteral("Fish & <Chips>");
        const QStringList names{QStringLiteral("<b>Bold</b>"), QStringLiteral("R&D \"Ace\""),
                                QStringLiteral("Åsa Ström"), QStringLiteral("李小龍"),
                                QStringLiteral("Владимир")};
        QList<qint32> keys;
        for (const QString& name : names)
            keys << test::InsertPlayerRow(name, true, db.zoneId(QStringLiteral("GMT")));
        test::InsertMember(keys.first(),
                           test::InsertDivision(division, test::InsertGame(QStringLiteral("Q"))));
        ExportFields fields;
        fields.custom = false;
        const QString page =
            RosterPage(QStringLiteral("Night <Owls>"), QDate(2027, 1, 15), CreateHTMLByPlayer(fields, keys));
        QVERIFY(page.startsWith(
            QStringLiteral("<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"
                           "<title>Night &lt;Owls&gt; Roster - 2027-01-15</title>")));
        QVERIFY(page.endsWith(QStringLiteral("</body>\r\n</html>")));
        for (const QString& name : names + QStringList{division}) {
            QCOMPARE(page.count(HtmlEscape(name)), 1);
            QVERIFY(HtmlEscape(name) == name || !page.contains(name));
        }
    }
};

QTEST_GUILESS_MAIN(HtmlPageTest)
#include "html_page_test.moc"
