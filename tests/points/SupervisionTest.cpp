#include "PointsFixture.h"

#include "points/supervision.h"

using namespace telvara;
using namespace telvara::test;

namespace {

class Supervision : public PointsFixture {
protected:
    int contador = 0;
    bool pass() { return superviseConnections(table, server, ui, contador); }
    void enable() {
        auto l = table.lock();
        table.TimerOut_Enabled = true;
        table.TimerSuperv_Enabled = true;
        table.Timer_Carrega_Banco_Enabled = true;
    }
    // A frame of the module at `first` moved its counter.
    void heard(int first, int rows) {
        auto l = table.lock();
        const QString next = QString::number(table.cell(col::Rx1, first).toInt() + 1);
        for (int r = first; r < first + rows; ++r)
            table.setCell(col::Rx1, r, next);
    }
};

} // namespace

TEST_F(Supervision, NothingWhileLoweredOrEmpty) {
    EXPECT_FALSE(pass());
    enable();
    contador = 3;
    EXPECT_FALSE(pass());
    EXPECT_EQ(3, contador) << "an empty table leaves the count as it was";
    EXPECT_EQ(0u, ui.intervals.count(PanelTimer::TimerOut));
}

TEST_F(Supervision, SilentModulesAreMarkedAndEveryModuleRaisesItsEvents) {
    enable();
    const int a = addBlock("1111112", 3);
    const int b = addBlock("2222212", 3);
    heard(a, 3);
    heard(b, 3);
    EXPECT_FALSE(pass());
    EXPECT_EQ(8500, ui.intervals[PanelTimer::TimerOut]);
    EXPECT_TRUE(events().empty()) << "rows already Conectado";

    heard(a, 3); // module b fell silent
    pass();
    EXPECT_EQ(5500, ui.intervals[PanelTimer::TimerOut]);
    EXPECT_EQ(1, contador);
    EXPECT_EQ("Conectado", cell(col::Evento, a + 1));
    for (int r = b; r < b + 3; ++r)
        EXPECT_EQ("Desconectado", cell(col::Evento, r));
    auto ev = events();
    ASSERT_EQ(1u, ev.size()) << "one event for the module, not one per row";
    EXPECT_EQ(
        (PendingEvent{"Conexão", "OFF", "127.0.0.1", "2222212", "Alterado", "Desconectado", ""}),
        ev[0]);

    heard(a, 3);
    pass();
    EXPECT_TRUE(events().empty()) << "still silent: no second event";
    heard(a, 3);
    heard(b, 3);
    pass();
    ev = events();
    ASSERT_EQ(1u, ev.size());
    EXPECT_EQ("ON", ev[0].Descricao_evento);
    EXPECT_EQ("Conectou", ev[0].Nome_IO);
    EXPECT_EQ(0, contador);
}

TEST_F(Supervision, AlarmIsKeptWhileHeardAndReplacedWhenSilent) {
    enable();
    const int a = addBlock("1111140", 11);
    set(col::Evento, a + 5, "ALARME");
    heard(a, 11);
    pass();
    EXPECT_EQ("ALARME", cell(col::Evento, a + 5));
    pass();
    EXPECT_EQ("Desconectado", cell(col::Evento, a + 5));
}

TEST_F(Supervision, FifthSilentPassResetsTheTableAndStopsTheServer) {
    enable();
    server.start();
    const int a = addBlock("1111112", 3);
    set(col::Unid, a, "kW");
    ui.formControlOpen = true;
    for (int k = 1; k <= 4; ++k)
        EXPECT_FALSE(pass()) << k;
    EXPECT_EQ(4, contador);
    EXPECT_TRUE(pass());
    EXPECT_EQ(0, contador);
    EXPECT_FALSE(server.running());
    EXPECT_EQ(0, table.Total_disp);
    EXPECT_EQ("", cell(col::Numero, a));
    EXPECT_EQ("kW", cell(col::Unid, a)) << "the automatic reset keeps Unid, Rx1 and Rx2";
    EXPECT_EQ(kBareCaption, table.caption);
    EXPECT_EQ(kBareCaption, ui.port.captions.last());
    EXPECT_EQ("Status: Refreshed...", ui.port.status.last());
    EXPECT_FALSE(table.TimerOut_Enabled || table.TimerSuperv_Enabled ||
                 table.Timer_Carrega_Banco_Enabled);
    EXPECT_FALSE(ui.formControlOpen);
    EXPECT_EQ(1, ui.gridClears);
}

TEST_F(Supervision, VisibleAlarmIsBroughtToFrontUnlessTheDialogIsActive) {
    enable();
    ui.alarmShown = true;
    pass();
    EXPECT_EQ(1, ui.alarmRaised);
    ui.formControlOpen = true;
    pass();
    EXPECT_EQ(1, ui.alarmRaised);
}

TEST_F(Supervision, NoConnectionWarningIsShownOnce) {
    warnNoConnection(table, ui);
    EXPECT_TRUE(ui.messages.isEmpty());
    table.TimerNinguemConectou_Enabled = true;
    warnNoConnection(table, ui);
    warnNoConnection(table, ui);
    ASSERT_EQ(1, ui.messages.size());
    EXPECT_EQ(kNoConnectionWarning, ui.messages[0]);
    EXPECT_TRUE(kNoConnectionWarning.startsWith("Ceritfique-se que os módulos"));
    EXPECT_TRUE(ui.stopped[PanelTimer::TimerNinguemConectou]);
}
