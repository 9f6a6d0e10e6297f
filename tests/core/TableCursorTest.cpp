#include "core/TableCursor.h"
#include "core/Database.h"
#include "core/DatabaseSchema.h"

#include "core/SqlProbe.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace telvara;
using namespace telvara::test;

namespace {

class Cursor : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Bd"));
    Database db{path};
    TableCursor t{db, QLatin1String(table::Bd_Valores)};

    void SetUp() override { t.refresh(); }

    void addPoint(const QString& ns, const QString& io) {
        t.insert();
        t.setText(QStringLiteral("Ns"), ns);
        t.setText(QStringLiteral("NumeroIO"), io);
        t.post();
    }
    QStringList walk(const QString& column) {
        QStringList out;
        for (t.rewind(); !t.eof(); t.next())
            out << t.text(column);
        return out;
    }
};

} // namespace

TEST_F(Cursor, WalksInStorageOrderThroughInsertEditAndDelete) {
    t.refresh();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(0, t.recordCount());
    for (const char* ns : {"a", "b", "c", "d"})
        addPoint(QLatin1String(ns), QStringLiteral("1"));
    EXPECT_EQ((QStringList{"a", "b", "c", "d"}), walk(QStringLiteral("Ns")));

    t.rewind();
    t.next(); // b
    t.edit();
    t.setText(QStringLiteral("ns"), QStringLiteral("B")); // names are not case-sensitive
    t.post();
    t.next(); // c
    t.remove();
    EXPECT_EQ(QStringLiteral("d"), t.text(QStringLiteral("Ns")));
    addPoint(QStringLiteral("e"), QStringLiteral("2"));

    EXPECT_EQ((QStringList{"a", "B", "d", "e"}), walk(QStringLiteral("Ns")));
    EXPECT_EQ((std::vector<QStringList>{{"a"}, {"B"}, {"d"}, {"e"}}),
              sqlRows(path, QStringLiteral("SELECT Ns FROM Bd_Valores ORDER BY rowid")));
    // Columns never written read as empty text.
    t.rewind();
    EXPECT_EQ(QString(), t.text(QStringLiteral("Local")));
}

TEST_F(Cursor, CancelledChangesAreNotWritten) {
    addPoint(QStringLiteral("a"), QStringLiteral("1"));
    t.rewind();
    t.edit();
    t.setText(QStringLiteral("Ns"), QStringLiteral("z"));
    t.cancel();
    t.insert();
    t.setText(QStringLiteral("Ns"), QStringLiteral("y"));
    t.cancel();
    EXPECT_EQ((QStringList{"a"}), walk(QStringLiteral("Ns")));
    EXPECT_EQ(1u, sqlRows(path, QStringLiteral("SELECT * FROM Bd_Valores")).size());
}

TEST_F(Cursor, ReadsIntegersAndBooleansOrSaysWhyNot) {
    struct Case {
        const char* stored; // SQL literal
        std::optional<qint64> integer;
        std::optional<bool> boolean;
    };
    const std::vector<Case> cases = {
        {"0", 0, false},
        {"1", 1, true},
        {"42", 42, true},
        {"'17'", 17, std::nullopt},
        {"' 8 '", 8, std::nullopt},
        {"'1'", 1, true},
        {"'True'", std::nullopt, true},
        {"'false'", std::nullopt, false},
        {"3.0", 3, std::nullopt},
        {"2.5", std::nullopt, std::nullopt},
        {"'dez'", std::nullopt, std::nullopt},
        {"''", std::nullopt, std::nullopt},
        {"NULL", std::nullopt, std::nullopt},
    };
    // A column without a declared type keeps each value as it was stored.
    db.exec(QStringLiteral("CREATE TABLE Tipos (v)"));
    TableCursor tipos(db, QStringLiteral("Tipos"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        db.exec(QStringLiteral("DELETE FROM Tipos; INSERT INTO Tipos VALUES (%1)")
                    .arg(QLatin1String(c.stored)));
        tipos.rewind();
        if (c.integer) {
            EXPECT_EQ(*c.integer, tipos.integer(QStringLiteral("v")));
        } else {
            try {
                (void)tipos.integer(QStringLiteral("v"));
                ADD_FAILURE() << "read as a number";
            } catch (const DatabaseError& e) {
                EXPECT_TRUE(e.message().contains(QStringLiteral("\"v\" da tabela \"Tipos\"")))
                    << e.what();
            }
        }
        if (c.boolean)
            EXPECT_EQ(*c.boolean, tipos.boolean(QStringLiteral("v")));
        else
            EXPECT_THROW((void)tipos.boolean(QStringLiteral("v")), DatabaseError);
    }
}

TEST_F(Cursor, UnknownColumnOrNoCurrentRecordFailsWithoutWriting) {
    addPoint(QStringLiteral("a"), QStringLiteral("1"));
    const QByteArray before = fileBytes(path);
    t.rewind();
    try {
        (void)t.text(QStringLiteral("Cor"));
        ADD_FAILURE();
    } catch (const DatabaseError& e) {
        EXPECT_EQ(QStringLiteral("A coluna \"Cor\" não existe na tabela \"Bd_Valores\"."),
                  e.message());
    }
    t.edit();
    EXPECT_THROW(t.setText(QStringLiteral("Cor"), QStringLiteral("azul")), DatabaseError);
    t.cancel();
    t.next();
    EXPECT_TRUE(t.eof());
    EXPECT_THROW((void)t.text(QStringLiteral("Ns")), DatabaseError);
    EXPECT_THROW(t.edit(), DatabaseError);
    EXPECT_THROW(t.remove(), DatabaseError);
    EXPECT_THROW(t.moveTo(1), DatabaseError);
    EXPECT_THROW(t.setText(QStringLiteral("Ns"), QStringLiteral("x")), DatabaseError);
    EXPECT_EQ(before, fileBytes(path));

    TableCursor missing(db, QStringLiteral("Nada"));
    try {
        missing.refresh();
        ADD_FAILURE();
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("\"Nada\" não existe"))) << e.what();
    }
}

TEST_F(Cursor, TransactionRollsBackEveryPostWhenNotCommitted) {
    addPoint(QStringLiteral("a"), QStringLiteral("1"));
    {
        Database::Transaction tx(db);
        addPoint(QStringLiteral("b"), QStringLiteral("1"));
        addPoint(QStringLiteral("c"), QStringLiteral("1"));
    }
    EXPECT_EQ((QStringList{"a"}), walk(QStringLiteral("Ns")));
}
