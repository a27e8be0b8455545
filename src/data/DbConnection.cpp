#include "data/DbConnection.h"

#include "data/ChangeNotice.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlRecord>

#include <atomic>

namespace rm {

namespace {

QString describe(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

} // namespace

RowSet::RowSet(QSqlQuery query) : m_query(std::make_shared<QSqlQuery>(std::move(query))) {
    const QSqlRecord record = m_query->record();
    for (int i = 0; i < record.count(); ++i)
        m_columns.insert(record.fieldName(i).toLower(), i);
    m_eof = !m_query->isSelect() || !m_query->next();
}

void RowSet::moveNext() {
    if (m_eof || !m_query)
        return;
    m_eof = !m_query->next();
}

void RowSet::close() {
    if (m_query)
        m_query->finish();
    m_eof = true;
}

int RowSet::columnIndex(const QString& column) const {
    const auto it = m_columns.constFind(column.toLower());
    if (it == m_columns.cend())
        throw DbError(QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                     "name or ordinal (%1).")
                          .arg(column));
    return it.value();
}

bool RowSet::hasColumn(const QString& column) const {
    return m_columns.contains(column.toLower());
}

QVariant RowSet::value(const QString& column) const {
    const int index = columnIndex(column);
    if (m_eof || !m_query)
        throw DbError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    return m_query->value(index);
}

int RowSet::columnCount() const {
    return m_query ? m_query->record().count() : 0;
}

QVariant RowSet::valueAt(int index) const {
    if (m_eof || !m_query)
        throw DbError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    return m_query->value(index);
}

QString RowSet::text(const QString& column) const {
    const QVariant v = value(column);
    return v.isNull() ? QString() : v.toString();
}

qint32 RowSet::integer(const QString& column) const {
    const QVariant v = value(column);
    return v.isNull() ? 0 : static_cast<qint32>(v.toLongLong());
}

bool RowSet::boolean(const QString& column) const {
    const QVariant v = value(column);
    return !v.isNull() && v.toLongLong() != 0;
}

DbConnection::DbConnection() {
    static std::atomic<int> counter{0};
    m_connectionName = QStringLiteral("rallymark-%1").arg(++counter);
}

DbConnection::~DbConnection() {
    close();
}

bool DbConnection::open(const QString& path) {
    close();
    m_lastError.clear();
    m_path = path;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(path);
    if (!db.open()) {
        m_lastError = describe(db.lastError());
        return false;
    }
    return true;
}

bool DbConnection::isOpen() const {
    if (!QSqlDatabase::contains(m_connectionName))
        return false;
    return QSqlDatabase::database(m_connectionName, false).isOpen();
}

void DbConnection::close() {
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_transactionDepth = 0;
    m_rollbackOnly = false;
}

QSqlDatabase DbConnection::database() const {
    return QSqlDatabase::database(m_connectionName, false);
}

RowSet DbConnection::execute(const QString& sql) {
    if (!isOpen())
        throw DbError(QStringLiteral("Operation is not allowed when the object is closed."));
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        m_lastError = describe(query.lastError());
        throw DbError(m_lastError);
    }
    ChangeNotice::instance().noteStatement(sql);
    return RowSet(std::move(query));
}

QVariant DbConnection::scalar(const QString& sql) {
    RowSet rows = execute(sql);
    if (rows.eof())
        return {};
    return rows.valueAt(0);
}

DbConnection::Transaction::Transaction(DbConnection& db) : m_db(db) {
    if (m_db.m_transactionDepth == 0) {
        if (!m_db.database().transaction())
            throw DbError(describe(m_db.database().lastError()));
        m_outermost = true;
        m_db.m_rollbackOnly = false;
    }
    ++m_db.m_transactionDepth;
}

DbConnection::Transaction::~Transaction() {
    // Leaving a scope without commit (an error on the way): nothing of the outer change is kept.
    if (!m_done)
        m_db.m_rollbackOnly = true;
    if (m_db.m_transactionDepth > 0)
        --m_db.m_transactionDepth;
    if (m_outermost && !m_done && m_db.isOpen()) {
        m_db.database().rollback();
        m_db.m_rollbackOnly = false;
    }
}

void DbConnection::Transaction::commit() {
    if (m_done)
        return;
    m_done = true;
    if (m_outermost) {
        QSqlDatabase db = m_db.database();
        if (m_db.m_rollbackOnly) {
            db.rollback();
            m_db.m_rollbackOnly = false;
            throw DbError(QStringLiteral("The change was abandoned because part of it failed."));
        }
        if (!db.commit()) {
            const QString error = describe(db.lastError());
            db.rollback();
            m_db.m_rollbackOnly = false;
            throw DbError(error);
        }
    }
}

DbConnection& Db() {
    // Lives for the whole run; closed when the application object goes away, because the SQL
    // drivers must not be touched after that.
    static DbConnection* connection = [] {
        auto* c = new DbConnection;
        qAddPostRoutine([] { Db().close(); });
        return c;
    }();
    return *connection;
}

} // namespace rm
