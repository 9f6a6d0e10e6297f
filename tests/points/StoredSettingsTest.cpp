#include "PointsFixture.h"

#include "core/ConfigRecord.h"
#include "core/TableConnection.h"
#include "points/stored_settings.h"

#include <QTemporaryDir>

using namespace telvara;
using namespace telvara::test;

namespace {

struct StoredPoint {
    QString Ns, NumeroIO, Tipo, Local;
    bool Exibir = false;
    QString INIESC, FIMESC, Unid;
};

class StoredSettings : public PointsFixture {
protected:
    QTemporaryDir dir;
    TableConnection bd;

    StoredSettings() {
        bd.open(dir.filePath("Bd"), "Bd_Valores");
        ConfigRecord(bd.table()).createIfMissing();
    }
    void store(const StoredPoint& p) {
        TableCursor& t = bd.table();
        t.insert();
        t.setText("Ns", p.Ns);
        t.setText("NumeroIO", p.NumeroIO);
        t.setText("Tipo", p.Tipo);
        t.setText("Local", p.Local);
        t.setText("Senha_conecta", "s" + p.NumeroIO);
        t.setBoolean("Exibir", p.Exibir);
        t.setText("Valor", "SOM");
        t.setText("INIVAR", "1");
        t.setText("FIMVAR", "2");
        t.setText("INIESC", p.INIESC);
        t.setText("FIMESC", p.FIMESC);
        t.setText("SPMIN", "5");
        t.setText("SPMAX", "6");
        t.setText("Unid", p.Unid);
        t.post();
    }
    bool apply() {
        table.Timer_Carrega_Banco_Enabled = true;
        return applyStoredSettings(table, bd.table());
    }
};

} // namespace

TEST_F(StoredSettings, CopyRules) {
    const int vica = addBlock("0004240", 11, "ENTRADA ANC");
    const int sela = addBlock("0000714", 8, "SAIDA DIG");
    set(col::Tipo, sela, "ENTRADA DIG");
    set(col::Nome, vica + 1, "antigo");
    set(col::Param3, sela, "08:00:00");
    set(col::Param4, sela, "02/03/2026");

    store({"0004240", "1", "", "Tanque", true, "0", "100", "m"});     // empty Tipo kept
    store({"0004240", "2", "SAIDA DIGP", "", false, "0", "100", ""}); // empty Local empties
    store({"0004240", "3", "", "primeiro", false, "", "", ""});       // same key twice:
    store({"0004240", "3", "", "segundo", false, "", "", ""});        //   the later wins
    store({"", "4", "SAIDA DIG", "sem Ns", false, "", "", ""});       // no key: skipped
    store({"0000714", "1", "", "Bomba", true, "10:00:00", "01/01/2026", "h"}); // digital input
    store({"9999999", "1", "", "ninguém", false, "", "", ""});                 // no such row

    EXPECT_TRUE(apply());
    EXPECT_FALSE(table.Timer_Carrega_Banco_Enabled);

    EXPECT_EQ("ENTRADA ANC", cell(col::Tipo, vica));
    EXPECT_EQ("Tanque", cell(col::Nome, vica));
    EXPECT_EQ("1", cell(col::EP, vica));
    EXPECT_EQ("s1", cell(col::Senha, vica));
    EXPECT_EQ("SOM", cell(col::Valor, vica));
    EXPECT_EQ("1", cell(col::Param1, vica));
    EXPECT_EQ("2", cell(col::Param2, vica));
    EXPECT_EQ("0", cell(col::Param3, vica));
    EXPECT_EQ("100", cell(col::Param4, vica));
    EXPECT_EQ("5", cell(col::ALMin, vica));
    EXPECT_EQ("6", cell(col::ALMax, vica));
    EXPECT_EQ("m", cell(col::Unid, vica));

    EXPECT_EQ("SAIDA DIGP", cell(col::Tipo, vica + 1));
    EXPECT_EQ("", cell(col::Nome, vica + 1));
    EXPECT_EQ("0", cell(col::EP, vica + 1));
    EXPECT_EQ("segundo", cell(col::Nome, vica + 2));
    EXPECT_EQ("", cell(col::Nome, vica + 3));

    // A digital input keeps the switch-on time and date its running total depends on.
    EXPECT_EQ("Bomba", cell(col::Nome, sela));
    EXPECT_EQ("08:00:00", cell(col::Param3, sela));
    EXPECT_EQ("02/03/2026", cell(col::Param4, sela));
    EXPECT_EQ("h", cell(col::Unid, sela));
}

TEST_F(StoredSettings, WaitsForRowsAndForItsFlag) {
    store({"0004240", "1", "", "Tanque", true, "", "", ""});
    EXPECT_FALSE(applyStoredSettings(table, bd.table())) << "flag lowered";
    EXPECT_FALSE(apply()) << "no row in use";
    EXPECT_TRUE(table.Timer_Carrega_Banco_Enabled) << "stays raised until rows exist";
    addBlock("0004240", 11);
    EXPECT_TRUE(applyStoredSettings(table, bd.table()));
    EXPECT_EQ("Tanque", cell(col::Nome, 0));
}
