#pragma once

#include "data/DbConnection.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

namespace rm::test {

// A fresh starter database in a temporary application folder, opened as the application's
// connection, with the Options record loaded. The folder and the connection go away with it.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();

    QString folder() const { return m_dir.path(); }
    QString path() const;

    // Convenience for assertions.
    QVariant scalar(const QString& sql) const { return Db().scalar(sql); }
    int count(const QString& table, const QString& where = QString()) const;
    int exec(const QString& sql) const; // runs a statement, returns rows affected or -1
    int zoneId(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

} // namespace rm::test
