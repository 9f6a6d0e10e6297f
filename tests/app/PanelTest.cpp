#include "app/Panel.h"
#include "core/DataRoot.h"
#include "link/net/TcpServer.h"
#include "support/FreePort.h"
#include "support/QtPrinters.h"
#include "support/RecorderPanelUi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace telvara;
using namespace telvara::test;

namespace {

// A panel on an empty data root whose configuration record names a free port.
class PanelHandlers : public ::testing::Test {
protected:
    QTemporaryDir root;
    RecorderPanelUi ui;
    FakeClock clock{QDateTime(QDate(2026, 3, 2), QTime(8, 0, 0))};
    std::unique_ptr<Panel> panel;
    std::uint16_t port = freePort();

    PanelHandlers() {
        qputenv("TELVARA_ROOT", root.path().toLocal8Bit());
        TableConnection bd;
        bd.open(DataRoot::databaseFile(), "Bd_Valores");
        ConfigRecord cfg(bd.table());
        cfg.createIfMissing();
        cfg.setPortaAndIPSuperv(QString::number(port), "");
        panel = std::make_unique<Panel>(ui, clock, LocaleFormats::brazilian());
    }
    ~PanelHandlers() override { qunsetenv("TELVARA_ROOT"); }
};

} // namespace

TEST_F(PanelHandlers, FormShowStartsTheServerAndRecordsTheStart) {
    panel->FormShow();
    EXPECT_TRUE(panel->server().running());
    EXPECT_EQ(port, panel->server().boundPort());
    EXPECT_EQ(kInitialSenhaSoftware, panel->SenhaSoftware);
    EXPECT_TRUE(panel->table().TimerNinguemConectou_Enabled);
    EXPECT_TRUE(QDir(root.filePath("Orvanel/Registros")).exists());
    EXPECT_TRUE(QDir(root.filePath("Orvabase/Registros")).exists());

    panel->TimerRegLogTimer();
    const auto& grid = panel->eventLog().grid();
    EXPECT_EQ("Software I/O:", grid.index(0, 1).data().toString());
    EXPECT_EQ("ON", grid.index(0, 2).data().toString());
    EXPECT_EQ("Iniciado", grid.index(0, 3).data().toString());
    EXPECT_EQ("-", grid.index(0, 4).data().toString());
    EXPECT_EQ("-", grid.index(0, 5).data().toString());
    EXPECT_EQ("02/03/2026", grid.index(0, 6).data().toString());
    EXPECT_EQ("Pronto...", grid.index(0, 8).data().toString());
}

TEST_F(PanelHandlers, ResetBeforeAnyFrameStillListensAgainAtTheNextGridTick) {
    panel->FormShow();
    panel->manualReset();
    EXPECT_FALSE(panel->server().running());
    EXPECT_EQ("Status: Refreshed...", ui.port.status.last());
    EXPECT_EQ(7500, ui.intervals[PanelTimer::TimerOut]);
    EXPECT_EQ(4000, ui.intervals[PanelTimer::TimerAtualizaGrid]);
    EXPECT_EQ(1, ui.gridClears);
    EXPECT_FALSE(panel->TimerAtualizaGridTimer().has_value());
    EXPECT_TRUE(panel->server().running());
    EXPECT_EQ(port, panel->server().boundPort());
}

TEST_F(PanelHandlers, BannerDoubleClickShowsThePasswordOnlyFromRowZeroColumnOne) {
    panel->FormShow();
    panel->StringGrid1SelectCell(2, 0);
    panel->Rectangle1DblClick();
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_FALSE(panel->StringGrid1SelectCell(1, 0)) << "no row in use: no dialog";
    panel->Rectangle1DblClick();
    EXPECT_EQ(QStringList{"Senha : " + kInitialSenhaSoftware}, ui.messages);
}

TEST_F(PanelHandlers, FormCloseSavesCountersAndWritesTheExport) {
    panel->FormShow();
    panel->TimerRegLogTimer();
    const QString file = panel->FormClose();
    EXPECT_TRUE(file.startsWith(root.filePath("Orvanel/Registros/Reg_")));
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(2, panel->config().read().Ultimo_indice_registrado);
}

TEST_F(PanelHandlers, BadPortStopsTheStartBeforeTheServer) {
    {
        TableConnection bd;
        bd.open(DataRoot::databaseFile(), "Bd_Valores");
        ConfigRecord(bd.table()).setPortaAndIPSuperv("50x0", "");
    }
    EXPECT_THROW(panel->FormShow(), DatabaseError);
    EXPECT_FALSE(panel->server().running());
    EXPECT_FALSE(panel->table().TimerRegistraLog_Enabled());
}

TEST_F(PanelHandlers, PortChangeMovesTheServerAndStoresPortAndHost) {
    panel->FormShow();
    {
        auto l = panel->table().lock();
        panel->table().Total_disp = 1;
        panel->table().setCell(col::Numero, 0, "1000001");
        panel->table().setCell(col::Rx2, 0, "4");
    }
    const std::uint16_t newPort = freePort();
    panel->ButtonPortaClick("0" + QString::number(newPort), "127.0.0.1");
    EXPECT_TRUE(panel->server().running());
    EXPECT_EQ(newPort, panel->server().boundPort());
    EXPECT_EQ(0, panel->table().Total_disp);
    EXPECT_EQ("", panel->table().cell(col::Rx2, 0)) << "the port change empties all columns";
    const ConfigValues stored = panel->config().read();
    EXPECT_EQ(QString::number(newPort), stored.Porta) << "leading zeros are not stored";
    EXPECT_EQ("127.0.0.1", stored.IPSuperv);
}

TEST_F(PanelHandlers, PortChangeWorksWithNoModuleRegistered) {
    panel->FormShow();
    const std::uint16_t newPort = freePort();
    panel->ButtonPortaClick(QString::number(newPort), "");
    EXPECT_EQ(newPort, panel->server().boundPort());
    EXPECT_EQ(QString::number(newPort), panel->config().read().Porta);
}

TEST_F(PanelHandlers, NonNumericPortSavesNothingAndTheGridTimerRestartsTheServer) {
    panel->FormShow();
    for (const QString bad : {"50a0", "", "70000", "0"}) {
        SCOPED_TRACE(bad.toStdString());
        EXPECT_THROW(panel->ButtonPortaClick(bad, "10.1.1.1"), std::invalid_argument);
        EXPECT_FALSE(panel->server().running());
        EXPECT_EQ(QString::number(port), panel->config().read().Porta);
        EXPECT_EQ("", panel->config().read().IPSuperv);
        panel->TimerAtualizaGridTimer();
        EXPECT_TRUE(panel->server().running());
        EXPECT_EQ(port, panel->server().boundPort());
    }
}
