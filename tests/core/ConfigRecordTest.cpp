#include "core/ConfigRecord.h"
#include "core/DatabaseSchema.h"
#include "core/TableConnection.h"

#include "core/SqlProbe.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace telvara;
using namespace telvara::test;

namespace {

class Config : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Bd"));
    TableConnection valores;

    void SetUp() override { valores.open(path, QLatin1String(table::Bd_Valores)); }
};

} // namespace

TEST_F(Config, StaysFirstThroughItsWritesAndThePointRecords) {
    ConfigRecord config(valores.table());
    ASSERT_TRUE(config.createIfMissing());
    TableCursor& t = valores.table();
    for (int i = 1; i <= 3; ++i) {
        t.insert();
        t.setText(QStringLiteral("Ns"), QStringLiteral("000000%1").arg(i));
        t.setText(QStringLiteral("NumeroIO"), QStringLiteral("1"));
        t.setBoolean(QStringLiteral("Exibir"), i == 2);
        t.post();
    }
    config.setPortaAndIPSuperv(QStringLiteral("5010"), QStringLiteral("10.0.0.9"));
    config.setAbrir_painel(true);
    config.setCounters(17, 4321);
    config.setSenha_software(QStringLiteral("nova"));
    // Deleting and adding point records moves nothing in front of it.
    t.rewind();
    t.next();
    t.remove();
    t.insert();
    t.setText(QStringLiteral("Ns"), QStringLiteral("0000009"));
    t.setBoolean(QStringLiteral("Exibir"), false);
    t.post();
    EXPECT_FALSE(config.createIfMissing());

    TableConnection again;
    again.open(path, QLatin1String(table::Bd_Valores));
    ConfigRecord reread(again.table());
    const ConfigValues v = reread.read();
    EXPECT_EQ(QStringLiteral("5010"), v.Porta);
    EXPECT_EQ(QStringLiteral("10.0.0.9"), v.IPSuperv);
    EXPECT_TRUE(v.Abrir_painel);
    EXPECT_EQ(17, v.Ultimo_indice_registrado);
    EXPECT_EQ(4321, v.Num_Totalizacoes);
    EXPECT_EQ(QStringLiteral("nova"), v.Senha_software);

    // The point walk: every record after the first, in storage order.
    QStringList points;
    TableCursor& w = again.table();
    w.rewind();
    for (w.next(); !w.eof(); w.next())
        points << w.text(QStringLiteral("Ns")) + QLatin1Char('/') +
                      (w.boolean(QStringLiteral("Exibir")) ? QLatin1Char('1') : QLatin1Char('0'));
    EXPECT_EQ((QStringList{"0000002/1", "0000003/0", "0000009/0"}), points);
    w.rewind();
    w.next();
    EXPECT_EQ(QString(), w.text(QStringLiteral("Porta")));
}

TEST_F(Config, ReadWithoutARecordOrWithBadValuesFailsAndKeepsTheStoredText) {
    ConfigRecord config(valores.table());
    EXPECT_THROW(config.read(), DatabaseError);
    EXPECT_THROW(config.setAbrir_painel(true), DatabaseError);
    EXPECT_EQ(0u, sqlRows(path, QStringLiteral("SELECT * FROM Bd_Valores")).size());

    config.createIfMissing();
    sqlExec(path, QStringLiteral("UPDATE Bd_Valores SET Ultimo_indice_registrado = 'dez'"));
    try {
        config.read();
        ADD_FAILURE();
    } catch (const DatabaseError& e) {
        EXPECT_EQ(QStringLiteral("O valor \"dez\" da coluna \"Ultimo_indice_registrado\" da "
                                 "tabela \"Bd_Valores\" não é um número inteiro."),
                  e.message());
    }
    EXPECT_EQ(QStringLiteral("dez"),
              sqlRows(path, QStringLiteral("SELECT Ultimo_indice_registrado FROM Bd_Valores"))
                  .at(0)
                  .at(0));

    for (const char* porta : {"abc", "", "0", "65536", "-1", "50 00"}) {
        ConfigValues v;
        v.Porta = QLatin1String(porta);
        EXPECT_THROW(v.portNumber(), DatabaseError) << porta;
    }
}

TEST_F(Config, MissingColumnFailsTheReadAndTheWriteNamingIt) {
    QTemporaryDir other;
    const QString p = other.filePath(QStringLiteral("Bd"));
    sqlExec(p, QStringLiteral("CREATE TABLE Bd_Valores (Porta TEXT, IPSuperv TEXT, "
                              "Senha_software TEXT, Ultimo_indice_registrado INTEGER, "
                              "Num_Totalizacoes INTEGER);"
                              "INSERT INTO Bd_Valores VALUES ('5000', '', 's', 3, 4);"));
    TableConnection c;
    c.open(p, QLatin1String(table::Bd_Valores));
    ConfigRecord config(c.table());
    try {
        config.read();
        ADD_FAILURE();
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("\"Abrir_painel\" não existe")));
    }
    EXPECT_THROW(config.setAbrir_painel(true), DatabaseError);
    config.setCounters(9, 8); // the columns that exist can still be written
    EXPECT_EQ((std::vector<QStringList>{{"5000", "s", "9", "8"}}),
              sqlRows(p, QStringLiteral("SELECT Porta, Senha_software, Ultimo_indice_registrado, "
                                        "Num_Totalizacoes FROM Bd_Valores")));
}
