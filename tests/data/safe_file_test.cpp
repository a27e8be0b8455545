#include "comms/CalendarEvent.h"
#include "comms/HtmlExport.h"
#include "data/SafeFile.h"
#include "roster/RosterImport.h"
#include "support/RosterRows.h"
#include "support/TestDatabase.h"

#include <QtTest>

using namespace rm;

// Every file the program writes: a write that fails part-way (as on a full disk) leaves the earlier
// file byte for byte as it was and nothing beside it, and the message names the file and the reason.
class SafeFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void failedWriteKeepsTheEarlierFile_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"csv", "html", "ics"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void failedWriteKeepsTheEarlierFile() {
        QFETCH(QString, kind);
        test::TestDatabase db;
        for (int i = 0; i < 20; ++i)
            test::InsertPlayerRow(QStringLiteral("Player %1").arg(i));
        const QString path = QDir(db.folder()).filePath("roster." + kind);
        const auto write = [&]() -> QString {
            try {
                QString error;
                if (kind == "csv")
                    SaveRosterCsv(path, {}, ',', false);
                else if (kind == "html")
                    WriteExportFile(path, QString(5000, 'x'));
                else
                    WriteCalendarFile(path, QByteArray(5000, 'x'), &error);
                return error;
            } catch (const DbError& e) {
                return e.description();
            } catch (const ExportError& e) {
                return e.description();
            }
        };
        QCOMPARE(write(), QString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        SetWriteFailureAfter(100);
        const QString message = write();
        SetWriteFailureAfter(std::nullopt);
        QVERIFY2(message.contains(path) && message.contains("No space left on device"), qPrintable(message));
        QVERIFY(file.seek(0));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(QDir(db.folder()).entryList({"roster*"}, QDir::Files | QDir::Hidden),
                 QStringList{"roster." + kind});
    }
};

QTEST_GUILESS_MAIN(SafeFileTest)
#include "safe_file_test.moc"
