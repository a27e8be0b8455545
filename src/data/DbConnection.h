#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <memory>
#include <stdexcept>

namespace rm {

// A statement the store refused, a missing column, or a connection that is not open.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& description)
        : std::runtime_error(description.toStdString()), m_description(description) {}
    const QString& description() const { return m_description; }

private:
    QString m_description;
};

// A forward-only set of rows; columns are read by name without regard to case.
class RowSet {
public:
    RowSet() = default;
    explicit RowSet(QSqlQuery query);

    bool eof() const { return m_eof; }
    void moveNext();
    void close();

    // Raises DbError when the row set has no such column or no current row.
    QVariant value(const QString& column) const;
    QVariant valueAt(int index) const;
    QString text(const QString& column) const;   // null reads as empty text
    qint32 integer(const QString& column) const; // null reads as 0
    bool boolean(const QString& column) const;   // any non-zero number is true
    bool hasColumn(const QString& column) const;
    int columnCount() const;

private:
    int columnIndex(const QString& column) const;

    std::shared_ptr<QSqlQuery> m_query;
    QHash<QString, int> m_columns;
    bool m_eof = true;
};

// The one connection to the database file for the whole run.
class DbConnection {
public:
    DbConnection();
    ~DbConnection();
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    // Opens the file (closing any file opened before). Returns false with lastError() set when the
    // driver refuses. Opening does not create the file's tables; start-up checks them.
    bool open(const QString& path);
    bool isOpen() const;
    void close();
    QString path() const { return m_path; }
    QString lastError() const { return m_lastError; }

    // Runs one SQL text. A selection returns its rows; the result of any other statement can be
    // ignored. Raises DbError with the store's description when the store refuses the statement.
    RowSet execute(const QString& sql);
    // The first column of the first row; a null value when there is no row.
    QVariant scalar(const QString& sql);

    // Groups several statements: commits when commit() is called, rolls back otherwise. Scopes
    // nest; only the outermost one talks to the store.
    class Transaction {
    public:
        explicit Transaction(DbConnection& db);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void commit();

    private:
        DbConnection& m_db;
        bool m_outermost = false;
        bool m_done = false;
    };

    QSqlDatabase database() const;

private:
    QString m_connectionName;
    QString m_path;
    QString m_lastError;
    int m_transactionDepth = 0;
    bool m_rollbackOnly = false;
};

// The application-wide connection.
DbConnection& Db();

} // namespace rm
