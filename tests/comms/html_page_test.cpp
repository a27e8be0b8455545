#include "comms/HtmlExport.h"
#include "data/DbConnection.h"
#include "data/SqlText.h"
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
        const QStringList names{QStringLiteral("<b>Bold</b>"), QStringLiteral("R&D \"Ace\""),
                                QStringLiteral("Åsa Ström"), QStringLiteral("李小龍"),
                                QStringLiteral("Владимир")};
        const qint32 division =
            test::InsertDivision(QStringLiteral("Fish & <Chips>"), test::InsertGame(QStringLiteral("Q")));
        QList<qint32> keys;
        for (qsizetype i = 0; i < names.size(); i += 2) {
            keys << test::InsertPlayerRow(names.at(i), true, db.zoneId(QStringLiteral("GMT")));
            if (i + 1 < names.size())
                db.exec(QStringLiteral("Update Players Set Player_RealName = %1 Where Player_ID = %2")
                            .arg(SqlText(names.at(i + 1)))
                            .arg(keys.last()));
        }
        test::InsertMember(keys.first(), division);
        ExportFields fields;
        fields.custom = false;
        const QString page =
            RosterPage(QStringLiteral("Night <Owls>"), QDate(2027, 1, 15), CreateHTMLByPlayer(fields, keys));
        QVERIFY(page.startsWith(
            QStringLiteral("<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"
                           "<title>Night &lt;Owls&gt; Roster - 2027-01-15</title>")));
        QVERIFY(page.endsWith(QStringLiteral("</body>\r\n</html>")));
        for (const QString& name : names + QStringList{QStringLiteral("Fish & <Chips>")}) {
            QCOMPARE(page.count(HtmlEscape(name)), 1);
            if (HtmlEscape(name) != name)
                QCOMPARE(page.count(name), 0);
        }
    }
};

QTEST_GUILESS_MAIN(HtmlPageTest)
#include "html_page_test.moc"
