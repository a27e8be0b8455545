#include "support/TestDatabase.h"

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/StarterDatabase.h"

#include <QDir>
#include <QSqlQuery>
#include <QtTest>

namespace rm::test {

TestDatabase::TestDatabase() {
    SetApplicationFolder(m_dir.path());
    SetSettingsFile(QDir(m_dir.path()).filePath(QStringLiteral("settings.ini")));
    if (!Db().open(path()))
        qFatal("cannot open test database: %s", qPrintable(Db().lastError()));
    WriteStarterContents(Db());
    CurrentOptions() = OptionsRecord{};
    LoadOptions();
}

TestDatabase::~TestDatabase() {
    Db().close();
    SetApplicationFolder(QString());
    SetSettingsFile(QString());
}

QString TestDatabase::path() const {
    return QDir(m_dir.path()).filePath(kDatabaseFileName);
}

int TestDatabase::count(const QString& table, const QString& where) const {
    return scalar("Select COUNT(*) From " + table + (where.isEmpty() ? QString() : " Where " + where))
        .toInt();
}

int TestDatabase::exec(const QString& sql) const {
    QSqlQuery q(Db().database());
    if (!q.exec(sql))
        return -1;
    return q.numRowsAffected();
}

int TestDatabase::zoneId(const QString& name) const {
    return Db().scalar(QStringLiteral("Select TZ_ID From TimeZones Where TZ_Name = '%1'").arg(name)).toInt();
}

} // namespace rm::test
