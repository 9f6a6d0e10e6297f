#include "PointsFixture.h"

#include "points/grid_refresh.h"

using namespace telvara;
using namespace telvara::test;

namespace {

class GridRefresh : public PointsFixture {
protected:
    int anterior = 0;
    std::optional<GridSnapshot> tick() {
        restartServerIfStopped(server, ui);
        return refreshGrid(table, ui, anterior);
    }
    void raiseFlag() {
        auto l = table.lock();
        table.TimerAtualizaGrid_Enabled = true;
    }
};

} // namespace

TEST_F(GridRefresh, StoppedServerIsStartedEvenBeforeAnyFrame) {
    ASSERT_FALSE(server.running());
    EXPECT_FALSE(tick().has_value()) << "the refresh itself waits for its flag";
    EXPECT_TRUE(server.running());
    EXPECT_NE(0, server.boundPort());
    EXPECT_FALSE(ui.image2Enabled);
    EXPECT_EQ(0u, ui.intervals.count(PanelTimer::TimerAtualizaGrid));
}

TEST_F(GridRefresh, CopiesTheTableAndAsksForStoredSettingsOncePerNewRowCount) {
    raiseFlag();
    auto snap = tick();
    ASSERT_TRUE(snap);
    EXPECT_TRUE(snap->rows.empty());
    EXPECT_TRUE(ui.image2Enabled);
    EXPECT_EQ(1000, ui.intervals[PanelTimer::TimerAtualizaGrid]);
    EXPECT_FALSE(table.Timer_Carrega_Banco_Enabled);

    addBlock("1234512", 3);
    set(col::Rx2, 2, "7");
    {
        auto l = table.lock();
        table.Vetor_NSRec[1] = "1234512";
        table.Vetor_NSRec[2] = "5555530";
        table.Vetor_NSRec[4] = "after a gap";
    }
    snap = tick();
    ASSERT_EQ(3u, snap->rows.size());
    EXPECT_EQ(kColumns, snap->rows[0].size());
    EXPECT_EQ("1234512", snap->rows[1][col::Numero]);
    EXPECT_EQ("7", snap->rows[2][col::Rx2]);
    EXPECT_EQ((QStringList{"1234512", "5555530"}), snap->memo);
    EXPECT_TRUE(table.Timer_Carrega_Banco_Enabled);
    EXPECT_EQ(3, anterior);

    table.Timer_Carrega_Banco_Enabled = false;
    tick();
    EXPECT_FALSE(table.Timer_Carrega_Banco_Enabled) << "same row count: asked once only";
}

TEST(PanelPicture, ChosenByStateAndKind) {
    EXPECT_EQ("Comliga.bmp", panelPicture("ON", "SAIDA DIG"));
    EXPECT_EQ("Comliga.bmp", panelPicture("ON", "SAIDA DIGP"));
    EXPECT_EQ("ComDesl.bmp", panelPicture("PUL", "SAIDA DIG"));
    EXPECT_EQ("Ledliga.ico", panelPicture("ON", "ENTRADA DIG"));
    EXPECT_EQ("LedDesl.bmp", panelPicture("OFF", "ENTRADA ANC"));
}
