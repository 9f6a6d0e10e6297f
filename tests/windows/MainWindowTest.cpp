#include "core/ConfigRecord.h"
#include "core/DataRoot.h"
#include "core/TableConnection.h"
#include "core/uMain.h"
#include "dialogs/Form_MSGAlarme.h"
#include "link/net/TcpServer.h"
#include "support/FreePort.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

using namespace telvara;

namespace {

// The real main window on an empty data root whose configuration names a free port; message
// boxes are captured instead of shown.
class MainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "windows_tests";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }

    QTemporaryDir root;
    QStringList messages;
    FakeClock clock{QDateTime(QDate(2026, 3, 2), QTime(8, 0, 0))};
    std::unique_ptr<TZUW_Mobile> w;
    QString port;

    void SetUp() override {
        qputenv("TELVARA_ROOT", root.path().toLocal8Bit());
        port = QString::number(test::freePort());
        {
            TableConnection bd;
            bd.open(DataRoot::databaseFile(), "Bd_Valores");
            ConfigRecord cfg(bd.table());
            cfg.createIfMissing();
            cfg.setPortaAndIPSuperv(port, "10.9.8.7");
        }
        TZUW_Mobile::messageHook() = [this](QWidget*, const QString& t) {
            messages << t;
        };
        w = std::make_unique<TZUW_Mobile>(clock, LocaleFormats::brazilian());
        w->createWindows();
        w->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        w.reset();
        qunsetenv("TELVARA_ROOT");
    }
};

} // namespace

TEST_F(MainWindow, StartsListeningWithItsTimersRunning) {
    EXPECT_EQ("ZUW_Mobile", w->objectName());
    EXPECT_EQ(kBareCaption, w->windowTitle());
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    EXPECT_TRUE(w->panel().server().running());
    EXPECT_EQ(58, w->Rectangle1->height());
    EXPECT_EQ(501, w->StringGrid1->rowCount());
    EXPECT_EQ("Número", w->StringGrid1->horizontalHeaderItem(0)->text());
    EXPECT_TRUE(w->StringGrid1->isColumnHidden(21) && w->StringGrid1->isColumnHidden(22));
    EXPECT_FALSE(w->Image2->isEnabled());
    const std::pair<PanelTimer, int> design[] = {{PanelTimer::TimerRegLog, 500},
                                                 {PanelTimer::TimerAtualizaGrid, 4000},
                                                 {PanelTimer::Timer_Carrega_Banco, 4500},
                                                 {PanelTimer::TimerSuperv, 5000},
                                                 {PanelTimer::TimerOut, 7500},
                                                 {PanelTimer::TimerNinguemConectou, 15000},
                                                 {PanelTimer::TimerRegTot, 1000}};
    for (const auto& [t, ms] : design) {
        EXPECT_TRUE(w->timer(t)->isActive());
        EXPECT_EQ(ms, w->timer(t)->interval());
    }
}

TEST_F(MainWindow, F7ShowsTheStoredPortAndHidesWithoutSaving) {
    w->FormKeyUp(Qt::Key_F7);
    EXPECT_TRUE(w->LabelPorta->isVisible() && w->EditPorta->isVisible());
    EXPECT_EQ(port, w->EditPorta->text());
    EXPECT_EQ("10.9.8.7", w->EditIPSuperv->text());
    w->EditPorta->setText("6001");
    w->FormKeyUp(Qt::Key_F7);
    EXPECT_FALSE(w->LabelPorta->isVisible() || w->EditPorta->isVisible() ||
                 w->ButtonPorta->isVisible());
    EXPECT_EQ(port, w->panel().config().read().Porta);
}

TEST_F(MainWindow, F9TogglesTheSerialsMemo) {
    EXPECT_FALSE(w->Memo1->isVisible());
    w->FormKeyUp(Qt::Key_F9);
    EXPECT_TRUE(w->Memo1->isVisible());
    w->FormKeyUp(Qt::Key_F9);
    EXPECT_FALSE(w->Memo1->isVisible());
}

TEST_F(MainWindow, ChangesFromConnectionThreadsArePostedToTheWindow) {
    std::thread([this] {
        w->setCaption("de outra thread");
        w->setLabelStatus("erro");
    }).join();
    EXPECT_EQ(kBareCaption, w->windowTitle()) << "nothing is done on the calling thread";
    QCoreApplication::processEvents();
    EXPECT_EQ("de outra thread", w->windowTitle());
    EXPECT_EQ("erro", w->LabelStatus->text());
}

TEST_F(MainWindow, GridShowsTheTableAtTheNextWorkingTick) {
    {
        auto l = w->panel().table().lock();
        auto& t = w->panel().table();
        t.Total_disp = 1;
        t.setCell(col::Numero, 0, "1000001");
        t.setCell(col::Nome, 0, "Portão");
        t.TimerAtualizaGrid_Enabled = true;
    }
    w->TimerAtualizaGridTimer();
    EXPECT_EQ("1000001", w->StringGrid1->item(0, 0)->text());
    EXPECT_EQ("Portão", w->StringGrid1->item(0, 9)->text());
    EXPECT_TRUE(w->Image2->isEnabled());
    EXPECT_EQ(1000, w->timer(PanelTimer::TimerAtualizaGrid)->interval());
    w->FormKeyUp(Qt::Key_F6);
    EXPECT_EQ("", w->StringGrid1->item(0, 0)->text()) << "the reset empties the grid rows";
    EXPECT_EQ(4000, w->timer(PanelTimer::TimerAtualizaGrid)->interval());
}

TEST_F(MainWindow, NoConnectionWarningAndBannerPassword) {
    w->TimerNinguemConectouTimer();
    ASSERT_EQ(1, messages.size());
    EXPECT_TRUE(messages[0].startsWith("Ceritfique-se que os módulos"));
    EXPECT_FALSE(w->timer(PanelTimer::TimerNinguemConectou)->isActive());
    w->StringGrid1SelectCell(1, 0);
    w->Rectangle1DblClick();
    EXPECT_EQ("Senha : " + kInitialSenhaSoftware, messages.last());
}
