// Renders every window of the panel, with demo modules connected, to PNG files. Runs offscreen:
// anyone can look at the interface without a display.
#include "SimRunner.h"
#include "core/ConfigRecord.h"
#include "core/DataRoot.h"
#include "core/TableConnection.h"
#include "core/Tela_Abertura.h"
#include "core/uMain.h"
#include "dialogs/Form_Ajuda.h"
#include "dialogs/Form_MSGAlarme.h"
#include "dialogs/Form_senha.h"
#include "dialogs/Form_senha_apagar.h"
#include "dialogs/Unit_Control.h"
#include "dialogs/Unit_Painel_Botoes.h"
#include "dialogs/Unit_Senha_Comandar.h"
#include "link/net/TcpServer.h"
#include "points/grid_refresh.h"
#include "records/Form_Totalizador.h"
#include "records/Registros.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

using namespace telvara;

namespace {

// Point names and an analog scale for the demo modules, as an operator would have stored them.
void storeDemoSettings(TableCursor& t) {
    struct P {
        const char *ns, *io, *local, *tipo, *valor, *p1, *p2, *p3, *p4, *amin, *amax, *unid;
        bool exibir;
    };
    const P points[] = {
        {"0000112", "1", "Portão", "", "SOM", "", "", "", "", "", "", "", true},
        {"0000112", "2", "Sirene", "", "", "", "", "", "", "", "", "", true},
        {"0000314", "1", "Bomba 1", "", "", "12", "", "", "", "", "", "m³", true},
        {"0000314", "5", "Motor", "", "", "", "", "", "", "", "", "", true},
        {"0000420", "4", "Válvula", "SAIDA DIGP", "PC05", "", "", "", "", "", "", "", true},
        {"0000640", "6", "Nível tanque", "", "", "0", "9999", "0", "100", "20", "90", "%", false},
        {"0000640", "7", "Pressão", "", "", "0", "9999", "0", "10", "0", "0", "bar", false},
    };
    for (const P& p : points) {
        t.insert();
        t.setText("Ns", p.ns);
        t.setText("NumeroIO", p.io);
        t.setText("Local", QString::fromUtf8(p.local));
        t.setText("Tipo", p.tipo);
        t.setText("Valor", p.valor);
        t.setText("Senha_conecta", "");
        t.setBoolean("Exibir", p.exibir);
        t.setText("INIVAR", p.p1);
        t.setText("FIMVAR", p.p2);
        t.setText("INIESC", p.p3);
        t.setText("FIMESC", p.p4);
        t.setText("SPMIN", p.amin);
        t.setText("SPMAX", p.amax);
        t.setText("Unid", QString::fromUtf8(p.unid));
        t.post();
    }
}

void pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget* w, const QString& dir) {
    w->show();
    pump(150);
    const QString file = dir + "/" + w->objectName() + ".png";
    const bool ok = w->grab().save(file);
    QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << file << Qt::endl;
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: telvara-screenshots OUTPUT_DIR ASSETS_DIR\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);
    QDir::setCurrent(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir root;
    qputenv("TELVARA_ROOT", root.path().toLocal8Bit());
    std::uint16_t port;
    {
        net::TcpServer probe({});
        probe.start(0);
        port = probe.boundPort();
        probe.stop();
        TableConnection bd;
        bd.open(DataRoot::databaseFile(), "Bd_Valores");
        ConfigRecord cfg(bd.table());
        cfg.createIfMissing();
        cfg.setPortaAndIPSuperv(QString::number(port), "");
        storeDemoSettings(bd.table());
    }

    int failures = 0;
    {
        TAbertura splash;
        failures += !save(&splash, out);
    }

    TZUW_Mobile main;
    main.createWindows();
    main.show();

    modsim::SimOptions options;
    options.port = port;
    options.intervalMs = 100;
    options.inputs.kind = modsim::InputMode::Kind::Toggle;
    options.inputs.periodMs = 300;
    options.analog.values = {1500, 5000, 0, 0};
    for (const auto& m : modsim::allSimModels())
        options.modules.push_back(
            {&m, QStringLiteral("%1").arg(options.modules.size() + 1, 5, 10, QLatin1Char('0'))});
    modsim::SimRunner runner(
        options, [](const QString&) {}, [](const QString&) {});
    runner.start();

    // The timers' work, without waiting for their intervals.
    for (int k = 0; k < 12; ++k) {
        pump(250);
        main.TimerAtualizaGridTimer();
        main.Timer_Carrega_BancoTimer();
        main.TimerRegLogTimer();
        main.TimerRegTotTimer();
    }
    runner.stop();
    main.TimerAtualizaGridTimer();
    main.TimerRegLogTimer();
    main.FormKeyUp(Qt::Key_F9); // the received-serials memo

    const PanelWindows& w = main.windows();
    failures += !save(&main, out);
    for (QWidget* win : std::initializer_list<QWidget*>{
             w.Form_Registros, w.FormTotal, w.FormPainel, w.Form_hELP, w.DigitarSenha,
             w.Form_Senha_Apaga, w.SenhaComandar, w.FormAlarme})
        failures += !save(win, out);
    w.FormControl->showForRow(5);
    failures += !save(w.FormControl, out);

    main.panel().server().stop();
    return failures == 0 ? 0 : 1;
}
