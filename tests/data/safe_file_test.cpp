#include "comms/CalendarEvent.h"
#include "comms/HtmlExport.h"
#include "data/DbConnection.h"
#include "data/SafeFile.h"
#include "roster/RosterImport.h"
#include "support/RosterRows.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QtTest>

using namespace rm;

// Every file the program writes: a write that fails part-way leaves the earlier file byte for byte
// as it was, leaves nothing else behind, and the message names the file and the reason.
class SafeFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { SetWriteFailureAfter(std::nullopt); }

    void failedWriteKeepsTheEarlierFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint64>("failAfter");
        for (const char* kind : {"csv", "html", "ics"}) {
            QTest::addRow("%s, nothing written", kind) << QString::fromLatin1(kind) << qint64(0);
            QTest::addRow("%s, part written", kind) << QString::fromLatin1(kind) << qint64(100);
        }
    }
    void failedWriteKeepsTheEarlierFile() {
        QFETCH(QString, kind);
        QFETCH(qint64, failAfter);
        test::TestDatabase db;
        for (int i = 0; i < 20; ++i)
            test::InsertPlayerRow(QStringLiteral("Player %1").arg(i));
        const QString path = QDir(db.folder()).filePath(QStringLiteral("roster.") + kind);
        const auto write = [&] {
            if (kind == QLatin1String("csv")) {
                SaveRosterCsv(path, {}, ',', false);
            } else if (kind == QLatin1String("html")) {
                WriteExportFile(path, QString(5000, QLatin1Char('x')));
            } else {
                QString error;
                if (!WriteCalendarFile(path, QByteArray(5000, 'x'), &error))
                    throw DbError(error);
            }
        };
        write();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        QVERIFY(before.size() > failAfter + 100);

        SetWriteFailureAfter(failAfter);
        QString message;
        try {
            write();
        } catch (const DbError& e) {
            message = e.description();
        } catch (const ExportError& e) {
            message = e.description();
        }
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)) &&
                     message.contains(QStringLiteral("No space left on device")),
                 qPrintable(message));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(QDir(db.folder()).entryList({QStringLiteral("roster*")}, QDir::Files | QDir::Hidden),
                 QStringList{QFileInfo(path).fileName()});
    }
};

QTEST_GUILESS_MAIN(SafeFileTest)
#include "safe_file_test.moc"
