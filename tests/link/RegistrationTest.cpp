#include "LinkFixture.h"

#include "link/module_models.h"

using namespace telvara;
using namespace telvara::test;

namespace {

struct ModelCase {
    std::string code;
    QString name;
    int rows;
    QStringList tipos; // one per row
    QString initial;
};

QStringList rep(const QString& s, int n) {
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << s;
    return l;
}

const QString IN = "ENTRADA DIG", OUT = "SAIDA DIG";

std::vector<ModelCase> modelCases() {
    return {
        {"012", "VOLK-Lira", 3, rep(IN, 1) + rep(OUT, 2), "OFF"},
        {"010", "VOLK-Orla", 7, rep(IN, 3) + rep(OUT, 4), "OFF"},
        {"014", "VOLK-Sela", 8, rep(IN, 4) + rep(OUT, 4), "OFF"},
        {"020", "VOLK-Tove", 11, rep(IN, 3) + rep(OUT, 8), "OFF"},
        {"030", "VOLK-Unda", 16, rep(IN, 16), "OFF"},
        {"040", "VOLK-Vica", 11,
         rep(IN, 2) + rep(OUT, 2) + QStringList{"SAIDA DIGP"} + rep("ENTRADA ANC", 2) +
             rep("ENTRADA ANV", 2) + rep("SAIDA ANC", 2),
         "-"},
    };
}

class Registration : public LinkFixture {};

} // namespace

TEST_F(Registration, EveryModelGetsItsBlockAfterTheModulesBeforeIt) {
    auto c = connect("10.0.0.7");
    int first = 0;
    for (const auto& m : modelCases()) {
        SCOPED_TRACE(m.name.toStdString());
        const std::string answer = send(*c, statusFrame(m.code, "00042"));
        const QString serial = "00042" + QString::fromStdString(m.code.substr(1));
        ASSERT_EQ(first + m.rows, table.Total_disp);
        for (int n = 1; n <= m.rows; ++n) {
            const int r = first + n - 1;
            EXPECT_EQ(serial, cell(col::Numero, r));
            EXPECT_EQ("10.0.0.7", cell(col::IP, r));
            EXPECT_EQ("5000", cell(col::Porta, r));
            EXPECT_EQ(m.name, cell(col::Modelo, r));
            EXPECT_EQ(QString::number(n), cell(col::IO, r));
            EXPECT_EQ(m.initial, cell(col::StLido, r));
            EXPECT_EQ("", cell(col::StCom, r));
            EXPECT_EQ(m.tipos[n - 1], cell(col::Tipo, r));
            EXPECT_EQ("Conectado", cell(col::Evento, r));
            EXPECT_EQ("0", cell(col::Rx1, r));
            EXPECT_EQ("0", cell(col::Rx2, r));
            EXPECT_EQ("", cell(col::ValorExibido, r));
        }
        EXPECT_EQ(kBareCaption + " - 10.0.0.1 - " + QString::number(table.Total_disp),
                  ui.captions.last());
        EXPECT_TRUE(table.Timer_Carrega_Banco_Enabled && table.TimerOut_Enabled &&
                    table.TimerSuperv_Enabled);
        EXPECT_EQ("", table.Num_serie_agora) << "a registration does not name the module";
        EXPECT_EQ("", answer) << "nothing to answer before the module's states were applied";
        first += m.rows;
    }
}

TEST_F(Registration, SerialNumbersCompareAsNumbers) {
    auto c = connect();
    send(*c, statusFrame("012", "00042"));
    set(col::Numero, 0, "4212"); // the same number without its leading zeros
    send(*c, statusFrame("012", "00042"));
    EXPECT_EQ(3, table.Total_disp);
    EXPECT_EQ("1", cell(col::Rx1, 0));
}

TEST_F(Registration, ModuleBeyondRow99IsNeverRegistered) {
    auto c = connect();
    // Seven Unda blocks end at row 111; the table's first empty row is then past the scan.
    for (int k = 0; k < 7; ++k)
        send(*c, statusFrame("030", "1000" + std::to_string(k)));
    ASSERT_EQ(112, table.Total_disp);
    send(*c, statusFrame("012", "20000"));
    EXPECT_EQ(112, table.Total_disp);
    EXPECT_EQ("", cell(col::Numero, 112));
}

TEST_F(Registration, BadSerialNumbersAreRefusedBeforeAnyRowIsWritten) {
    auto c = connect();
    addModule(*c, "012", "00001");
    struct Case {
        const char* what;
        std::string frame;
    };
    const std::vector<Case> cases{
        {"letters", statusFrame("012", "12A45")},
        {"unknown model digit gives an empty serial",
         StatusFrameBuilder("052").text(15, "12345").withClose(20)},
        {"cut short: zero bytes", StatusFrameBuilder("012").withClose(13)},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        c->feed(k.frame);
        EXPECT_THROW(engine.IdTCPServer1Execute(*c), LinkError);
        EXPECT_EQ(3, table.Total_disp);
        EXPECT_EQ("", cell(col::Numero, 3));
    }
    // The table still serves everyone.
    auto other = connect("10.0.0.9");
    addModule(*other, "014", "00002");
    EXPECT_EQ(11, table.Total_disp);
}

TEST_F(Registration, UnknownModelCodeMarksTheFreeRowAndEndsTheConnection) {
    auto c = connect();
    c->feed(statusFrame("019", "12345"));
    EXPECT_THROW(engine.IdTCPServer1Execute(*c), LinkError);
    EXPECT_EQ(0, table.Total_disp);
    EXPECT_EQ("ERRO_MOD", cell(col::Modelo, 0));
    EXPECT_EQ(kBareCaption + " - 10.0.0.1 - 0", ui.captions.last());
    addModule(*c, "012", "00001");
    EXPECT_EQ("VOLK-Lira", cell(col::Modelo, 0));
}

TEST_F(Registration, StatusDecodingOfEachModel) {
    struct Case {
        std::string code;
        std::uint8_t in, out;
        std::string chars;
        QStringList states; // StLido of the block, in row order
    };
    const std::vector<Case> cases{
        {"012", 0x01, 0x02, "", {"ON", "OFF", "ON"}},
        {"010", 0x05, 0x09, "", {"ON", "OFF", "ON", "ON", "OFF", "OFF", "ON"}},
        {"014", 0x08, 0x06, "", {"OFF", "OFF", "OFF", "ON", "OFF", "ON", "ON", "OFF"}},
        {"020",
         0x02,
         0x80,
         "",
         {"OFF", "ON", "OFF", "OFF", "OFF", "OFF", "OFF", "OFF", "OFF", "OFF", "ON"}},
        {"030", 0, 0, "1000000000000001", QStringList{"ON"} + rep("OFF", 14) + QStringList{"ON"}},
        {"040",
         0,
         0,
         "10x1"
         "1"
         "0333"
         "9999"
         "0000"
         "0012",
         {"ON", "OFF", "OFF", "ON", "ON", "0333", "9999", "0000", "0012", "D/A 01", "D/A 02"}},
    };
    auto c = connect();
    for (const auto& k : cases) {
        SCOPED_TRACE(k.code);
        const int first = addModule(*c, k.code, "00777", k.in, k.out, k.chars);
        for (int r = 0; r < k.states.size(); ++r)
            EXPECT_EQ(k.states[r], cell(col::StLido, first + r)) << "row " << r;
        EXPECT_EQ(cell(col::Numero, first), table.Num_serie_agora);
        EXPECT_EQ("1", cell(col::Rx1, first));
        resetTable();
    }
}

TEST_F(Registration, StComStartsAsTheReadStateOfOutputsAndIsThenLeftAlone) {
    auto c = connect();
    const int first = addModule(*c, "010", "00001", 0x00, 0x01);
    EXPECT_EQ("ON", cell(col::StCom, first + 3));
    EXPECT_EQ("OFF", cell(col::StCom, first + 4));
    set(col::StCom, first + 4, "ON"); // operator command
    send(*c, statusFrame("010", "00001", 0, 0x01));
    EXPECT_EQ("ON", cell(col::StCom, first + 4));
}

TEST_F(Registration, FrameCounterRunsToNinetyNineThenWraps) {
    auto c = connect();
    send(*c, statusFrame("012", "00001")); // registers
    for (int k = 1; k <= 99; ++k)
        send(*c, statusFrame("012", "00001"));
    EXPECT_EQ("99", cell(col::Rx1, 0));
    EXPECT_EQ("99", cell(col::Rx1, 2));
    send(*c, statusFrame("012", "00001"));
    EXPECT_EQ("0", cell(col::Rx1, 0));
    EXPECT_EQ("100", cell(col::Rx1, 2)) << "copies catch up with their own frame";
}

namespace {

class Analog : public LinkFixture {
protected:
    std::shared_ptr<MemoryConnection> c = connect();
    int first = 0;

    // Parameters of channel k: Param1..Param4, ALMin, ALMax.
    void params(int k, const QStringList& p) {
        for (int i = 0; i < p.size(); ++i)
            set(col::Param1 + i, first + 4 + k, p[i]);
        set(col::Nome, first + 4 + k, QString("Tanque %1").arg(k));
    }
    void frame(const std::string& analog16) {
        send(*c, statusFrame("040", "00099", 0, 0, "00000" + analog16));
    }
    const QString& shown(int k) { return cell(col::ValorExibido, first + 4 + k); }
    const QString& evento(int k) { return cell(col::Evento, first + 4 + k); }
};

} // namespace

TEST_F(Analog, ScalesAndRaisesAlarms) {
    first = addModule(*c, "040", "00099");
    params(1, {"0", "1000", "0", "100", "0", "0"});
    frame("0333000000000000");
    EXPECT_EQ("33,30", shown(1));
    EXPECT_EQ("Conectado", evento(1));
    EXPECT_TRUE(ui.alarms.isEmpty());

    params(1, {"0", "1000", "0", "100", "40", "0"});
    frame("0333000000000000");
    ASSERT_EQ(1, ui.alarms.size());
    EXPECT_EQ("Alarme baixo em Tanque 1 ! ", ui.alarms.last());
    EXPECT_EQ("ALARME", evento(1));
    auto ev = events();
    ASSERT_EQ(1u, ev.size());
    EXPECT_EQ((PendingEvent{"Alarme", "ALARM", "10.0.0.5", "0009940", "Acionado", "Tanque 1", "6"}),
              ev[0]);

    frame("0333000000000000"); // still in alarm: label again, no second event
    EXPECT_EQ(2, ui.alarms.size());
    EXPECT_TRUE(events().empty());

    params(1, {"0", "1000", "0", "100", "10", "30"});
    frame("0333000000000000");
    EXPECT_EQ("Alarme alto em Tanque 1 ! ", ui.alarms.last());

    params(1, {"0", "1000", "0", "100", "0", "0"});
    frame("0333000000000000");
    EXPECT_EQ("Conectado", evento(1)) << "channel 1 rearms";
}

TEST_F(Analog, ChannelsTwoToFourStayInAlarmUntilReset) {
    first = addModule(*c, "040", "00099");
    params(2, {"0", "100", "0", "100", "50", "0"});
    frame("0000001000000000");
    EXPECT_EQ("ALARME", evento(2));
    params(2, {"0", "100", "0", "100", "0", "0"});
    frame("0000001000000000");
    EXPECT_EQ("ALARME", evento(2));
    EXPECT_EQ(1u, events().size());
}

TEST_F(Analog, ChannelsThatCannotBeScaledAreLeftAsTheyAre) {
    first = addModule(*c, "040", "00099");
    const std::vector<QStringList> cases{
        {"0", "1000", "", "100", "0", "0"},    // empty parameter
        {"500", "500", "0", "100", "0", "0"},  // no scale through one raw value
        {"0", "1000", "0", "1OO", "0", "0"},   // operator typo
        {"0", "1000", "0", "100", "5 0", "0"}, // not an integer
    };
    for (const auto& p : cases) {
        SCOPED_TRACE(p.join(',').toStdString());
        set(col::ValorExibido, first + 5, "antes");
        params(1, p);
        frame("0333000000000000");
        EXPECT_EQ("antes", shown(1));
        EXPECT_TRUE(ui.alarms.isEmpty());
        EXPECT_TRUE(c->connected());
    }
}

TEST_F(Analog, EveryVicaHandsItsAlarmToTheEventLog) {
    auto lira = connect("10.0.0.6");
    addModule(*lira, "012", "00001");
    first = addModule(*c, "040", "00099");
    ASSERT_EQ(3, first);
    params(3, {"0", "100", "0", "100", "0", "50"});
    frame("0000000000900000");
    EXPECT_EQ("ALARME", evento(3));
    EXPECT_EQ(1u, events().size());
}

TEST_F(Analog, NonNumericRawValueEndsTheConnection) {
    first = addModule(*c, "040", "00099");
    c->feed(statusFrame("040", "00099", 0, 0, "000000A33000000000000"));
    EXPECT_THROW(engine.IdTCPServer1Execute(*c), LinkError);
}
