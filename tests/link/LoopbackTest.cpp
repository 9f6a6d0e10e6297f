#include "link/ModuleServer.h"
#include "link/module_models.h"
#include "link/net/TcpServer.h"
#include "support/QtPrinters.h"
#include "support/RecorderUi.h"
#include "support/StatusFrames.h"

#include "SimRunner.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

using namespace telvara;
using namespace telvara::test;
using namespace std::chrono_literals;

namespace {

// The real module server on a free loopback port.
class Loopback : public ::testing::Test {
protected:
    PointTable table;
    RecorderUi ui;
    FakeClock clock{QDateTime(QDate(2026, 3, 2), QTime(8, 0, 0))};
    LocaleFormats formats = LocaleFormats::brazilian();
    ModuleServer server{table, ui, clock, formats};

    Loopback() {
        server.setDefaultPort(0);
        server.start();
    }
    ~Loopback() override { server.stop(); }

    // Polls a condition on the table under its lock for at most `limit`.
    template <typename F> bool waitFor(F condition, std::chrono::milliseconds limit = 3000ms) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            {
                auto l = table.lock();
                if (condition())
                    return true;
            }
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }
    static std::string readBytes(net::Connection& c, std::size_t n) {
        std::string s;
        const auto end = std::chrono::steady_clock::now() + 3s;
        while (s.size() < n && std::chrono::steady_clock::now() < end)
            if (c.waitForData(20))
                s.push_back(static_cast<char>(c.readByte()));
        return s;
    }
};

} // namespace

TEST_F(Loopback, RawModuleIsRegisteredAnsweredAndCommanded) {
    auto c = net::connectTcp("127.0.0.1", server.boundPort(), 2000);
    const std::string frame = statusFrame("014", "31415");
    c->write(frame);
    ASSERT_TRUE(waitFor([&] { return table.Total_disp == 8; }));
    {
        auto l = table.lock();
        EXPECT_EQ("127.0.0.1", table.cell(col::IP, 0));
        EXPECT_EQ(QString::number(server.boundPort()), table.cell(col::Porta, 0));
        EXPECT_EQ(kBareCaption + " - 127.0.0.1 - 8", table.caption);
    }
    c->write(frame);
    EXPECT_EQ("<VOLKZUW999000000031415>\r\n", readBytes(*c, 26));

    {
        auto l = table.lock();
        table.setCell(col::StCom, 4, "ON"); // the first output: no line end on the wire
    }
    c->write(frame);
    EXPECT_EQ("<VOLKZUW010100100031415>", readBytes(*c, 24));
    c->write(statusFrame("014", "31415", 0, 0x01));
    EXPECT_EQ("<VOLKZUW999000000031415>\r\n", readBytes(*c, 26));
    EXPECT_EQ("1", ui.totalConec.first());
}

TEST_F(Loopback, SimulatedModulesOfEveryModelAreAnsweredOnTheirOwnConnections) {
    modsim::SimOptions options;
    options.port = server.boundPort();
    options.intervalMs = 15;
    options.logJson = true;
    options.inputs.kind = modsim::InputMode::Kind::Toggle;
    options.inputs.periodMs = 100;
    // One of each model and three more: 74 rows, within the 100 rows a registration may start in.
    int serial = 20001;
    for (const auto& m : modsim::allSimModels())
        options.modules.push_back({&m, QString::number(serial++)});
    for (int k = 0; k < 3; ++k)
        options.modules.push_back({&modsim::allSimModels()[k], QString::number(serial++)});

    std::mutex m;
    std::map<QString, int> idle;    // answers per module
    std::map<QString, int> foreign; // frames that named another module
    modsim::SimRunner runner(
        options,
        [&](const QString& line) {
            const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
            if (o["dir"].toString() != "rx")
                return;
            std::lock_guard g(m);
            const QString serial = o["serial"].toString();
            const QString result = o["result"].toString();
            if (result == "other")
                ++foreign[serial];
            else if (result == "idle" || result == "applied")
                ++idle[serial];
        },
        [](const QString&) {});
    runner.start();
    const auto end = std::chrono::steady_clock::now() + 8s;
    auto enough = [&] {
        std::lock_guard g(m);
        if (idle.size() < options.modules.size())
            return false;
        for (const auto& [s, n] : idle)
            if (n < 10)
                return false;
        return true;
    };
    while (!enough() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(20ms);
    runner.stop();
    ASSERT_TRUE(enough());
    // All of them share 127.0.0.1: each connection still hears only about its own module.
    EXPECT_TRUE(foreign.empty()) << foreign.size() << " modules got frames for another module";

    auto l = table.lock();
    // Every block is whole: one serial number, I/O numbered from 1, the model's length.
    int r = 0;
    int blocks = 0;
    while (r < table.Total_disp) {
        const ModuleModel* model = modelByName(table.cell(col::Modelo, r));
        ASSERT_NE(nullptr, model) << "row " << r;
        for (int n = 1; n <= model->rows(); ++n) {
            EXPECT_EQ(table.cell(col::Numero, r), table.cell(col::Numero, r + n - 1));
            EXPECT_EQ(QString::number(n), table.cell(col::IO, r + n - 1));
        }
        r += model->rows();
        ++blocks;
    }
    EXPECT_EQ(table.Total_disp, r);
    EXPECT_EQ(static_cast<int>(options.modules.size()), blocks);
}
