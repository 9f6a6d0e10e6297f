#include "LinkFixture.h"

#include "link/input_rule.h"

using namespace telvara;
using namespace telvara::test;

namespace {

class InputRule : public LinkFixture {
protected:
    std::shared_ptr<MemoryConnection> c = connect();

    void at(int day, int h, int m) { clock.set(QDateTime(QDate(2026, 3, day), QTime(h, m, 0))); }
    void sela(std::uint8_t in) { send(*c, statusFrame("014", "00314", in, 0)); }
};

} // namespace

TEST_F(InputRule, FirstSightTakesTheStateSilently) {
    const int first = addModule(*c, "010", "00001", 0x05, 0);
    set(col::Valor, first, "SOM");
    EXPECT_EQ("ON", cell(col::StCom, first));
    EXPECT_EQ("OFF", cell(col::StCom, first + 1));
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(0, ui.count("TocarSom"));
}

TEST_F(InputRule, ChangesBecomeEventsInRowOrder) {
    const int first = addModule(*c, "010", "00001", 0x00, 0);
    set(col::Nome, first + 1, "Porta");
    set(col::Nome, first + 2, "Janela");
    set(col::Valor, first + 1, "SOM");
    send(*c, statusFrame("010", "00001", 0x06, 0));
    const auto ev = events();
    ASSERT_EQ(2u, ev.size()) << "both changes of one frame are kept";
    EXPECT_EQ((PendingEvent{"Entrada", "ON", "10.0.0.5", "0000110", "Alterado", "Porta", "2"}),
              ev[0]);
    EXPECT_EQ("Janela", ev[1].Nome_IO);
    EXPECT_EQ(1, ui.count("TocarSom"));
    send(*c, statusFrame("010", "00001", 0x04, 0));
    EXPECT_EQ("OFF", events().at(0).Descricao_evento);
    EXPECT_EQ(2, ui.count("TocarSom"));
    EXPECT_FALSE(table.TimerRegTot_Enabled());
    for (int r = first; r < first + 3; ++r)
        for (int k = col::Param1; k <= col::Unid; ++k)
            EXPECT_EQ("", cell(k, r)) << "untotalized inputs keep the totalizer columns empty";
    EXPECT_EQ("", table.DataON);
}

TEST_F(InputRule, TotalizedInputTimesItsOnPeriod) {
    const int first = addModule(*c, "014", "00314");
    set(col::Param1, first, "10");
    set(col::Unid, first, "m3");
    set(col::Nome, first, "Bomba");
    at(2, 8, 0);
    sela(0x01);
    EXPECT_EQ("08:00:00", cell(col::Param3, first));
    EXPECT_EQ("02/03/2026", cell(col::Param4, first));
    EXPECT_EQ("02/03/2026", table.DataON);
    EXPECT_FALSE(table.TimerRegTot_Enabled());
    at(2, 9, 30);
    sela(0x00);
    EXPECT_EQ("15,0000", cell(col::ValorExibido, first));
    const auto t = totals();
    ASSERT_EQ(1u, t.size());
    EXPECT_EQ((PendingTotal{"02/03/2026", "08:00:00", "15,0000", "m3", "10.0.0.5", "Bomba"}), t[0]);
    const auto ev = events();
    ASSERT_EQ(2u, ev.size());
    EXPECT_EQ("OFF", ev[1].Descricao_evento);
}

TEST_F(InputRule, OnPeriodSpanningTwoMidnightsCountsTwentySixHours) {
    const int first = addModule(*c, "014", "00314");
    set(col::Param1, first, "1");
    at(2, 23, 0);
    sela(0x01);
    at(4, 1, 0);
    sela(0x00);
    EXPECT_EQ("26,0000", cell(col::ValorExibido, first));
}

TEST_F(InputRule, EachInputIsTimedFromItsOwnSwitchOn) {
    const int first = addModule(*c, "014", "00314");
    set(col::Param1, first, "1");
    set(col::Param1, first + 1, "1");
    at(2, 10, 0);
    sela(0x01);
    at(3, 9, 0); // another input goes ON a day later
    sela(0x03);
    at(3, 12, 0);
    sela(0x02);
    EXPECT_EQ("26,0000", cell(col::ValorExibido, first));
}

TEST_F(InputRule, TotalsWithoutARateOrWithoutAStart) {
    const int first = addModule(*c, "014", "00314");
    set(col::ValorExibido, first, "7,5000");
    at(2, 8, 0);
    sela(0x01);
    at(2, 9, 0);
    sela(0x00);
    EXPECT_EQ("7,5000", cell(col::ValorExibido, first)) << "no rate: the old total is kept";
    EXPECT_EQ("7,5000", totals().at(0).TotalFinal);
    events();

    // The ON time was lost (stored settings wrote the column): the event still goes out.
    sela(0x01);
    set(col::Param1, first, "10");
    set(col::Param3, first, "");
    at(2, 10, 0);
    sela(0x00);
    EXPECT_TRUE(totals().empty());
    EXPECT_EQ("7,5000", cell(col::ValorExibido, first));
    const auto ev = events();
    ASSERT_EQ(2u, ev.size());
    EXPECT_EQ("OFF", ev[1].Descricao_evento);
    EXPECT_EQ("OFF", cell(col::StCom, first));
}

TEST_F(InputRule, OnTimeInTheFutureCountsZero) {
    const int first = addModule(*c, "014", "00314");
    set(col::Param1, first, "10");
    at(5, 8, 0);
    sela(0x01);
    at(4, 8, 0); // the workstation's clock was set back
    sela(0x00);
    EXPECT_EQ("0,0000", cell(col::ValorExibido, first));
}

TEST(HoursOn, DropsMillisecondsAndNeverGoesNegative) {
    const QDateTime start(QDate(2026, 1, 1), QTime(0, 0, 0));
    EXPECT_DOUBLE_EQ(1.5, hoursOn(start, start.addMSecs(5400999)));
    EXPECT_DOUBLE_EQ(0.0, hoursOn(start, start.addSecs(-10)));
}
