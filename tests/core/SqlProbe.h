#pragma once

// Looks into a database file straight through SQLite, past the panel's own layer.

#include "support/QtPrinters.h"

#include <SQLiteCpp/SQLiteCpp.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <vector>

namespace telvara::test {

inline std::vector<QStringList> sqlRows(const QString& path, const QString& sql) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement q(db, sql.toStdString());
    std::vector<QStringList> rows;
    while (q.executeStep()) {
        QStringList row;
        for (int i = 0; i < q.getColumnCount(); ++i)
            row << QString::fromUtf8(q.getColumn(i).getText());
        rows.push_back(row);
    }
    return rows;
}

inline void sqlExec(const QString& path, const QString& sql) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec(sql.toStdString());
}

inline QString integrityCheck(const QString& path) {
    return sqlRows(path, QStringLiteral("PRAGMA integrity_check")).at(0).at(0);
}

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

} // namespace telvara::test
