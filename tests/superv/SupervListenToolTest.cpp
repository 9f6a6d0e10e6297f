#include "SupervTestRows.h"
#include "link/net/TcpServer.h"
#include "superv/SupervFrame.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace telvara;

namespace {

const QString kTool = QStringLiteral(TELVARA_SUPERV_LISTEN_PATH);

// Ends the tool however the test ends.
struct ToolProcess {
    QProcess p;
    ~ToolProcess() {
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished(5000);
        }
    }

    // Starts the tool and returns the port from "listening on ADDRESS:PORT", the first line it
    // writes to stderr; 0 when it does not come.
    std::uint16_t start(QStringList args) {
        p.start(kTool, args);
        if (!p.waitForStarted(5000))
            return 0;
        p.setReadChannel(QProcess::StandardError);
        for (int i = 0; i < 50 && !p.canReadLine(); ++i)
            p.waitForReadyRead(100);
        const QString line = QString::fromUtf8(p.readLine()).trimmed();
        p.setReadChannel(QProcess::StandardOutput);
        if (!line.startsWith(QStringLiteral("listening on ")))
            return 0;
        return static_cast<std::uint16_t>(line.section(QLatin1Char(':'), -1).toUInt());
    }

    std::vector<QJsonObject> readJsonLines(std::size_t count) {
        std::vector<QJsonObject> out;
        for (int i = 0; i < 100 && out.size() < count; ++i) {
            if (!p.canReadLine() && !p.waitForReadyRead(100))
                continue;
            while (p.canReadLine())
                out.push_back(QJsonDocument::fromJson(p.readLine()).object());
        }
        return out;
    }
};

} // namespace

TEST(SupervListenTool, PrintsEachFrameAsJsonAndStopsAfterCount) {
    ToolProcess tool;
    const auto port = tool.start({"--port", "0", "--json", "--count", "3"});
    ASSERT_NE(0, port);

    std::vector<SupervRow> rows{test::workedRow()};
    rows[0][9] = QStringLiteral("Iluminação");
    const std::string good = buildSupervFrame(rows);
    std::string badCrc = good;
    badCrc.back() = static_cast<char>(badCrc.back() ^ 0x10);
    const std::string big = buildSupervFrame(test::manyRows(115, 40));

    auto c = net::connectTcp("127.0.0.1", port, 2000);
    c->write("noise" + good + badCrc + good.substr(0, 40) + big);

    const auto lines = tool.readJsonLines(3);
    ASSERT_EQ(3u, lines.size());
    const bool crcOk[] = {true, false, true};
    const int rowCount[] = {1, 1, 115};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(crcOk[i], lines[i]["crc_ok"].toBool()) << i;
        EXPECT_EQ(rowCount[i], lines[i]["rows"].toArray().size()) << i;
    }
    EXPECT_EQ(QStringLiteral("Iluminação"), lines[0]["rows"][0][9].toString());
    EXPECT_EQ(static_cast<qint64>(big.size()), lines[2]["bytes"].toInteger());

    ASSERT_TRUE(tool.p.waitForFinished(5000));
    EXPECT_EQ(QProcess::NormalExit, tool.p.exitStatus());
    EXPECT_EQ(0, tool.p.exitCode());
    const QString errors = QString::fromUtf8(tool.p.readAllStandardError());
    EXPECT_TRUE(errors.contains(QStringLiteral("bad CRC"))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("malformed"))) << errors.toStdString();
}

// With a connection still open, SIGTERM ends the tool with status 0.
TEST(SupervListenTool, PrintsTablesUntilTerminated) {
    ToolProcess tool;
    const auto port = tool.start({"--port", "0"});
    ASSERT_NE(0, port);
    auto c = net::connectTcp("127.0.0.1", port, 2000);
    c->write(buildSupervFrame({test::workedRow()}));

    QByteArray out;
    for (int i = 0; i < 50 && !out.contains("Conectado"); ++i) {
        tool.p.waitForReadyRead(100);
        out += tool.p.readAllStandardOutput();
    }
    EXPECT_TRUE(out.contains("frame 1 from 127.0.0.1: 112 bytes, row count 1, CRC E9E4 ok"))
        << out.toStdString();
    EXPECT_TRUE(out.contains("Número")) << out.toStdString();
    EXPECT_TRUE(out.contains("ENTRADA DIG")) << out.toStdString();

    tool.p.terminate();
    ASSERT_TRUE(tool.p.waitForFinished(5000));
    EXPECT_EQ(QProcess::NormalExit, tool.p.exitStatus());
    EXPECT_EQ(0, tool.p.exitCode());
}

TEST(SupervListenTool, Options) {
    struct Case {
        QStringList args;
        int status;
        std::vector<const char*> inOutput;
    };
    const Case cases[] = {
        {{"--help"}, 0, {"--port", "--json", "--count", "--max-frame", "--help", "SIGTERM"}},
        {{"--port", "65536"}, 2, {"bad port"}},
        {{"--count", "x"}, 2, {"bad count"}},
        {{"--count"}, 2, {"needs a value"}},
        {{"--verbose"}, 2, {"unknown option"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        ToolProcess tool;
        tool.p.start(kTool, c.args);
        ASSERT_TRUE(tool.p.waitForFinished(5000));
        EXPECT_EQ(c.status, tool.p.exitCode());
        const QByteArray text = tool.p.readAllStandardOutput() + tool.p.readAllStandardError();
        for (const char* s : c.inOutput)
            EXPECT_TRUE(text.contains(s)) << s;
    }
}
