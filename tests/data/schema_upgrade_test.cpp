// Opening a file made by the previous version: the newer Options columns are added with their
// defaults, every row and value stays, and a refused upgrade leaves the file as it was.

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/Schema.h"
#include "data/StarterDatabase.h"
#include "data/Startup.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace rm;

namespace {

const QStringList kNewColumns{"Options_SMTPSecurity", "Options_SMTPUserName", "Options_SMTPUseLogin",
                              "Options_SMTPAllowPlainLogin", "Options_MatchLength"};

// A database as the previous version wrote it, with some rows of its own.
void WritePreviousVersionFile(const QString& path) {
    QVERIFY(CreateStarterDatabase(path, nullptr));
    DbConnection db;
    QVERIFY(db.open(path));
    db.execute(QStringLiteral("Update Options Set Options_Name = 'Zed''s Clan', Options_SMTPServer = "
                              "'mail.example.org', Options_SMTPPort = 2525, Options_MaxResults = 7"));
    db.execute(QStringLiteral("Insert Into Players (Player_OnlineName, Player_TimeZone, Player_Active) "
                              "Values('Amy', 3, 1)"));
    db.execute(QStringLiteral("Insert Into Schedules Values(1, 2, '20:00', '23:30')"));
    for (const QString& column : kNewColumns)
        db.execute(QStringLiteral("Alter Table Options Drop Column %1").arg(column));
    db.close();
}

QByteArray FileHash(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                       : QByteArray();
}

// Every row of every table, as text, so that nothing is lost in the upgrade.
QString Dump(DbConnection& db, const QStringList& skipColumns = {}) {
    QString out;
    for (const QString& table : SchemaTableNames()) {
        QSqlQuery q(db.database());
        if (!q.exec(QStringLiteral("Select * From %1").arg(table)))
            return QStringLiteral("(%1 unreadable)").arg(table);
        while (q.next()) {
            out += table;
            for (int i = 0; i < q.record().count(); ++i)
                if (!skipColumns.contains(q.record().fieldName(i)))
                    out += QLatin1Char('|') + q.value(i).toString();
            out += QLatin1Char('\n');
        }
    }
    return out;
}

} // namespace

class SchemaUpgradeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void previousVersionIsUpgradedKeepingEveryRow() {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("ClanRoster.mdb"));
        WritePreviousVersionFile(path);
        QString before;
        {
            DbConnection db;
            QVERIFY(db.open(path));
            QVERIFY(CheckSchema(db)); // the previous layout lacks the new columns
            before = Dump(db);
        }

        SetApplicationFolder(dir.path());
        QVERIFY(!OpenDatabaseAndLoadOptions());
        QVERIFY(!CheckSchema(Db()));
        QCOMPARE(Dump(Db(), kNewColumns), before);
        QCOMPARE(CurrentOptions().UserName, QStringLiteral("Zed's Clan"));
        QCOMPARE(CurrentOptions().SMTPPort, 2525);
        QCOMPARE(CurrentOptions().SMTPSecurity, 0);
        QCOMPARE(CurrentOptions().SMTPUseLogin, false);
        QCOMPARE(CurrentOptions().MatchLength, 120);
        QCOMPARE(Db().scalar(QStringLiteral("Select Options_SMTPUserName From Options")).toString(),
                 QString());

        // A second opening has nothing left to do.
        const QByteArray upgraded = FileHash(path);
        QVERIFY(!UpgradeSchema(Db()));
        Db().close();
        QCOMPARE(FileHash(path), upgraded);
        SetApplicationFolder(QString());
    }

    void refusedUpgradeLeavesTheFileAsItWas() {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("ClanRoster.mdb"));
        WritePreviousVersionFile(path);
        const QByteArray before = FileHash(path);
        DbConnection db;
        QVERIFY(db.open(path));
        db.execute(QStringLiteral("PRAGMA query_only = 1")); // the store refuses every change
        const std::optional<QString> problem = UpgradeSchema(db);
        QVERIFY(problem);
        QVERIFY2(problem->contains(QStringLiteral("could not be brought up to date")), qPrintable(*problem));
        QVERIFY2(problem->contains(QStringLiteral("readonly")), qPrintable(*problem));
        db.close();
        QCOMPARE(FileHash(path), before);
    }

    void filesThatAreNoRallymarkDatabaseAreNotTouched() {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("other.db"));
        {
            DbConnection db;
            QVERIFY(db.open(path));
            db.execute(QStringLiteral("Create Table Options (Options_ID INTEGER)"));
        }
        const QByteArray before = FileHash(path);
        DbConnection db;
        QVERIFY(db.open(path));
        QVERIFY(!UpgradeSchema(db));
        QCOMPARE(*CheckSchema(db), QStringLiteral("The Rallymark database file has no table Players"));
        db.close();
        QCOMPARE(FileHash(path), before);
    }
};

QTEST_GUILESS_MAIN(SchemaUpgradeTest)
#include "schema_upgrade_test.moc"
