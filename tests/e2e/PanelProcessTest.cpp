// The real telvara-panel, offscreen, with the simulator's modules and the supervisory receiver.
#include "core/ConfigRecord.h"
#include "core/TableConnection.h"
#include "link/net/TcpServer.h"
#include "support/FreePort.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <set>
#include <thread>

using namespace telvara;
using telvara::test::freePort;
using namespace std::chrono_literals;

namespace {

// Runs until `done` holds or the limit passes, feeding each new stdout line of `p` to `line`.
bool readLinesUntil(QProcess& p, const std::function<void(const QByteArray&)>& line,
                    const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) {
        p.waitForReadyRead(100);
        while (p.canReadLine())
            line(p.readLine().trimmed());
    }
    return done();
}

class PanelProcess : public ::testing::Test {
protected:
    QTemporaryDir root;
    std::uint16_t port = freePort();
    QProcess panel, modsim;

    void configure(const QString& ipSuperv) {
        TableConnection bd;
        bd.open(root.filePath("Orvanel/Bd"), "Bd_Valores");
        ConfigRecord cfg(bd.table());
        cfg.createIfMissing();
        cfg.setPortaAndIPSuperv(QString::number(port), ipSuperv);
    }
    // Read-only, waiting while the panel holds a write lock.
    SQLite::Database openDb() {
        SQLite::Database db(root.filePath("Orvanel/Bd").toStdString(), SQLite::OPEN_READONLY);
        db.setBusyTimeout(3000);
        return db;
    }
    void startPanel() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TELVARA_ROOT", root.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("LC_ALL", "pt_BR.UTF-8"); // a Brazilian workstation's formats
        env.insert("LANG", "pt_BR.UTF-8");
        panel.setProcessEnvironment(env);
        panel.setWorkingDirectory(TELVARA_ASSETS_DIR);
        panel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        panel.start(TELVARA_PANEL_EXE, {});
        ASSERT_TRUE(panel.waitForStarted(5000));
    }
    void startModules() {
        modsim.start(TELVARA_MODSIM_EXE,
                     {"--port", QString::number(port), "--all", "--interval", "200", "--log-json"});
        ASSERT_TRUE(modsim.waitForStarted(5000));
    }
    // Serial numbers (seven characters) of the simulated modules that got an answer.
    std::set<QString> waitForAnsweredModules(std::size_t count) {
        std::set<QString> answered;
        readLinesUntil(
            modsim,
            [&](const QByteArray& l) {
                const QJsonObject o = QJsonDocument::fromJson(l).object();
                if (o["dir"] == "rx" && (o["result"] == "idle" || o["result"] == "applied"))
                    answered.insert(o["serial"].toString());
            },
            [&] { return answered.size() >= count; }, 25s);
        return answered;
    }
    void TearDown() override {
        for (QProcess* p : {&modsim, &panel})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
    }
};

} // namespace

TEST_F(PanelProcess, StartsRegistersModulesAndClosesCleanlyOnSigterm) {
    QDir().mkpath(root.filePath("Orvanel"));
    startPanel();

    // First start on an empty data root: the configuration record is created and the server
    // listens on 5000 unless the port is taken, so this test moves it to a free port first.
    const auto end = std::chrono::steady_clock::now() + 15s;
    bool listening5000 = false;
    while (std::chrono::steady_clock::now() < end && !listening5000) {
        try {
            net::connectTcp("127.0.0.1", 5000, 200);
            listening5000 = true;
        } catch (const net::NetError&) {
            std::this_thread::sleep_for(100ms);
        }
    }
    const auto listenedAt = std::chrono::steady_clock::now();
    ASSERT_TRUE(listening5000) << "the panel did not listen on 5000";
    bool started = false;
    while (!started && std::chrono::steady_clock::now() < listenedAt + 1500ms) {
        SQLite::Database db = openDb();
        SQLite::Statement q(db, "SELECT count(*) FROM BD_Eventos WHERE Tipo_evento = "
                                "'Software I/O:' AND Nome = 'Iniciado'");
        started = q.executeStep() && q.getColumn(0).getInt() == 1;
        if (!started)
            std::this_thread::sleep_for(50ms);
    }
    EXPECT_TRUE(started) << "start event recorded within a second of listening";
    {
        SQLite::Database db = openDb();
        SQLite::Statement q(db, "SELECT Porta, IPSuperv, Abrir_painel, Ultimo_indice_registrado, "
                                "Num_Totalizacoes FROM Bd_Valores ORDER BY rowid LIMIT 1");
        ASSERT_TRUE(q.executeStep());
        EXPECT_EQ("5000", q.getColumn(0).getString());
        EXPECT_EQ("", q.getColumn(1).getString());
        EXPECT_EQ(0, q.getColumn(2).getInt());
        EXPECT_EQ(2, q.getColumn(3).getInt())
            << "created with 1, kept in step with the start event";
        EXPECT_EQ(1, q.getColumn(4).getInt());
    }

    port = 5000;
    startModules();
    EXPECT_EQ(6u, waitForAnsweredModules(6).size()) << "every model registered and answered";

    ::kill(static_cast<pid_t>(panel.processId()), SIGTERM);
    ASSERT_TRUE(panel.waitForFinished(10000));
    EXPECT_EQ(QProcess::NormalExit, panel.exitStatus());
    EXPECT_EQ(0, panel.exitCode());

    SQLite::Database db = openDb();
    SQLite::Statement q(db, "SELECT Ultimo_indice_registrado FROM Bd_Valores ORDER BY rowid "
                            "LIMIT 1");
    ASSERT_TRUE(q.executeStep());
    EXPECT_GE(q.getColumn(0).getInt(), 2) << "the counter was saved at shut-down";

    const QStringList exports =
        QDir(root.filePath("Orvanel/Registros")).entryList({"Reg_*.txt"}, QDir::Files);
    ASSERT_EQ(1, exports.size());
    EXPECT_TRUE(
        QRegularExpression(R"(^Reg_\d\d_\d\d_\d\d_\d\d_\d\d\.txt$)").match(exports[0]).hasMatch())
        << exports[0].toStdString();
    QFile f(root.filePath("Orvanel/Registros/" + exports[0]));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QStringDecoder(QStringDecoder::Latin1)(f.readAll());
    const QString hyphens(66, '-');
    EXPECT_TRUE(text.startsWith("Indice-Tipo-Status-Nome-IP-Ns/Mod-Data-Hora-Evento\r\n" + hyphens +
                                "\r\n"));
    EXPECT_TRUE(QRegularExpression(R"(\r\n1-Software I/O:-ON-Iniciado-----\d\d/\d\d/\d{4}-)"
                                   R"(\d\d:\d\d:\d\d-Pronto\.\.\.-\r\n-{66}\r\n)")
                    .match(text)
                    .hasMatch())
        << text.left(400).toStdString();
    EXPECT_TRUE(text.endsWith("Salvo pelo fechamento do programa\r\n" + hyphens));
}

TEST_F(PanelProcess, ForwardsTheTableToTheSupervisoryProgram) {
    configure("127.0.0.1");
    QProcess listener;
    listener.start(TELVARA_SUPERV_LISTEN_EXE, {"--json", "--port", "5100"});
    ASSERT_TRUE(listener.waitForStarted(5000));
    startPanel();
    startModules();
    const std::set<QString> modules = waitForAnsweredModules(6);
    ASSERT_EQ(6u, modules.size());

    QJsonObject complete;
    int frames = 0;
    readLinesUntil(
        listener,
        [&](const QByteArray& l) {
            const QJsonObject o = QJsonDocument::fromJson(l).object();
            if (o.isEmpty())
                return;
            ++frames;
            EXPECT_TRUE(o["crc_ok"].toBool());
            if (o["row_count"].toInt() == 56)
                complete = o;
        },
        [&] { return !complete.isEmpty(); }, 20s);
    listener.terminate();
    listener.waitForFinished(5000);
    ASSERT_FALSE(complete.isEmpty()) << frames << " frames, none with all 56 rows";
    std::set<QString> serials;
    for (const auto& row : complete["rows"].toArray()) {
        const QJsonArray cells = row.toArray();
        ASSERT_EQ(13, cells.size());
        serials.insert(cells[0].toString().left(5));
        EXPECT_EQ("127.0.0.1", cells[1].toString());
    }
    EXPECT_EQ(modules, serials);
}
