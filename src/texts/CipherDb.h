#pragma once

#include <QString>
#include <QVariant>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;

// One connection to an encrypted database file, keyed with a password. Used by
// the data file lookups and by the data file generator. Every call reports its
// failure by a false or empty result and keeps the engine's message in
// lastError(); nothing here shows anything.
class CipherDb
{
public:
    enum class Mode
    {
        ReadOnly,
        Create
    };

    CipherDb() = default;
    ~CipherDb();
    CipherDb(const CipherDb&) = delete;
    CipherDb& operator=(const CipherDb&) = delete;

    // Opens path with the password and proves the key by reading the schema.
    // ReadOnly refuses a missing file; Create makes a new file (the caller
    // removes any old one first). A file with another password, or not a
    // database, fails here.
    bool open(const QString& path, const QByteArray& password, Mode mode);
    // Reads every page of every table and index: false when any is damaged.
    bool verify();
    void close();
    bool isOpen() const { return m_db != nullptr; }

    // Runs statements without results.
    bool exec(const QString& sql);
    // Column names of a table in their order; empty when there is no such table.
    QStringList columns(const QString& table);
    bool hasTable(const QString& table);

    const QString& lastError() const { return m_error; }
    sqlite3* handle() const { return m_db; }

    // Quotes a name for SQL: "name" with inner quotes doubled.
    static QString quoteName(const QString& name);

private:
    friend class CipherQuery;
    void setError(const QString& what);

    sqlite3* m_db = nullptr;
    QString m_error;
};

// One prepared statement on a CipherDb.
class CipherQuery
{
public:
    CipherQuery(CipherDb& db, const QString& sql);
    ~CipherQuery();
    CipherQuery(const CipherQuery&) = delete;
    CipherQuery& operator=(const CipherQuery&) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    // Binds parameter i (from 1): a null QVariant binds NULL, integers bind as
    // integers, anything else as UTF-8 text.
    bool bind(int i, const QVariant& value);
    // Steps to the next row: true on a row, false at the end or on an error
    // (failed() tells which).
    bool next();
    bool failed() const { return m_failed; }
    // Runs a statement without rows and resets it for the next bindings.
    bool run();

    int columnCount() const;
    QString columnName(int i) const;
    bool isNull(int i) const;
    // Text of a column; a null cell gives a null QString.
    QString text(int i) const;
    // Integer value of a column; nullopt when null or not an integer.
    std::optional<qint64> integer(int i) const;
    // Numeric value of a column, whole or real; nullopt when null or text.
    std::optional<double> number(int i) const;

private:
    CipherDb& m_db;
    sqlite3_stmt* m_stmt = nullptr;
    bool m_failed = false;
};
