#include "CipherDb.h"

#include "DataFileKey.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <QStringList>

CipherDb::~CipherDb()
{
    close();
}

void CipherDb::setError(const QString& what)
{
    m_error = what;
    if (m_db)
        m_error += QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(m_db));
}

bool CipherDb::open(const QString& path, const QByteArray& password, Mode mode)
{
    close();
    m_error.clear();
    if (mode == Mode::ReadOnly && !QFileInfo(path).isFile()) {
        m_error = QStringLiteral("no such file: ") + path;
        return false;
    }
    const int flags =
        mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const QByteArray name = QFileInfo(path).absoluteFilePath().toUtf8();
    if (sqlite3_open_v2(name.constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        setError(QStringLiteral("cannot open ") + path);
        close();
        return false;
    }
    if (sqlite3_key(m_db, password.constData(), int(password.size())) != SQLITE_OK) {
        setError(QStringLiteral("cannot key ") + path);
        close();
        return false;
    }
    if (!exec(QStringLiteral("PRAGMA kdf_iter = %1").arg(DataFileKdfRounds))) {
        close();
        return false;
    }
    // The key is only checked when the first page is read: a wrong password or
    // a file that is not a database fails here.
    if (sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        setError(QStringLiteral("cannot read ") + path);
        close();
        return false;
    }
    return true;
}

bool CipherDb::verify()
{
    if (!m_db)
        return false;
    CipherQuery check(*this, QStringLiteral("PRAGMA quick_check"));
    if (!check.isValid())
        return false;
    QStringList problems;
    while (check.next())
        problems << check.text(0);
    if (check.failed())
        return false;
    if (problems != QStringList{QStringLiteral("ok")}) {
        m_error = QStringLiteral("damaged database: ") + problems.join(QLatin1String("; "));
        return false;
    }
    return true;
}

void CipherDb::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool CipherDb::exec(const QString& sql)
{
    if (!m_db) {
        m_error = QStringLiteral("database not open");
        return false;
    }
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        m_error = QString::fromUtf8(message ? message : "error") + QStringLiteral(" in: ") + sql;
        sqlite3_free(message);
        return false;
    }
    return true;
}

QStringList CipherDb::columns(const QString& table)
{
    QStringList names;
    CipherQuery info(*this, QStringLiteral("PRAGMA table_info(%1)").arg(quoteName(table)));
    while (info.next())
        names << info.text(1);
    return names;
}

bool CipherDb::hasTable(const QString& table)
{
    CipherQuery q(*this,
                  QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?"));
    q.bind(1, table);
    return q.next();
}

QString CipherDb::quoteName(const QString& name)
{
    QString inner = name;
    inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

CipherQuery::CipherQuery(CipherDb& db, const QString& sql) : m_db(db)
{
    if (!db.m_db) {
        db.m_error = QStringLiteral("database not open");
        m_failed = true;
        return;
    }
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db.m_db, text.constData(), int(text.size()), &m_stmt, nullptr) !=
        SQLITE_OK) {
        db.setError(QStringLiteral("cannot prepare ") + sql);
        m_stmt = nullptr;
        m_failed = true;
    }
}

CipherQuery::~CipherQuery()
{
    sqlite3_finalize(m_stmt);
}

bool CipherQuery::bind(int i, const QVariant& value)
{
    if (!m_stmt)
        return false;
    int rc;
    if (value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, i);
    } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
               value.typeId() == QMetaType::Short || value.typeId() == QMetaType::UInt) {
        rc = sqlite3_bind_int64(m_stmt, i, value.toLongLong());
    } else {
        const QByteArray text = value.toString().toUtf8();
        rc = sqlite3_bind_text(m_stmt, i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) {
        m_db.setError(QStringLiteral("cannot bind"));
        m_failed = true;
        return false;
    }
    return true;
}

bool CipherQuery::next()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        m_db.setError(QStringLiteral("cannot read"));
        m_failed = true;
    }
    return false;
}

bool CipherQuery::run()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    if (rc != SQLITE_DONE) {
        m_db.setError(QStringLiteral("cannot write"));
        m_failed = true;
        return false;
    }
    return true;
}

int CipherQuery::columnCount() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

QString CipherQuery::columnName(int i) const
{
    return m_stmt ? QString::fromUtf8(sqlite3_column_name(m_stmt, i)) : QString();
}

bool CipherQuery::isNull(int i) const
{
    return !m_stmt || sqlite3_column_type(m_stmt, i) == SQLITE_NULL;
}

QString CipherQuery::text(int i) const
{
    if (isNull(i))
        return QString();
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
    const int size = sqlite3_column_bytes(m_stmt, i);
    QString value = QString::fromUtf8(data, size);
    if (value.isNull())
        value = QStringLiteral("");
    return value;
}

std::optional<qint64> CipherQuery::integer(int i) const
{
    if (!m_stmt || sqlite3_column_type(m_stmt, i) != SQLITE_INTEGER)
        return std::nullopt;
    return sqlite3_column_int64(m_stmt, i);
}

std::optional<double> CipherQuery::number(int i) const
{
    if (!m_stmt)
        return std::nullopt;
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_INTEGER:
        return static_cast<double>(sqlite3_column_int64(m_stmt, i));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, i);
    default:
        return std::nullopt;
    }
}
