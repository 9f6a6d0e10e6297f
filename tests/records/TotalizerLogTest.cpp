#include "link/PointTable.h"
#include "records/LogsFixture.h"

using namespace telvara;
using namespace telvara::test;

namespace {

PendingTotal total(const char* ip, const char* nome, const char* data, const char* valor) {
    // DataInicial, HoraInicial, TotalFinal, Unidade, Ip_log, Nome_IO
    return {QLatin1String(data),  QStringLiteral("08:00:00"), QLatin1String(valor),
            QStringLiteral("m3"), QLatin1String(ip),          QString::fromUtf8(nome)};
}

QStringList gridRow(const ReportGridModel& g, int row) {
    QStringList out;
    for (int c = 0; c < g.columns(); ++c)
        out << g.cell(row, c);
    return out;
}

} // namespace

using TotalizerLogTest = LogsTest;

TEST_F(TotalizerLogTest, FirstTotalIsStoredShownAndCounted) {
    PanelRun& p = start(5, 4);
    p.totals.Registrar_Totalizador(total("10.0.0.7", "Bomba", "09/03/2024", "1,2500"));
    const QStringList expected = {"10.0.0.7", "Bomba", "09/03/2024", "08:00:00", "1,2500", "m3"};
    EXPECT_EQ(expected,
              sqlRows(path, QStringLiteral("SELECT IP, Nome, DataIni, HoraIni, Total, Unid FROM "
                                           "RegTotalizador"))
                  .at(0));
    EXPECT_EQ(expected, gridRow(p.totals.grid(), 0));
    EXPECT_EQ(QStringLiteral("Relatório de Totalizações - Último n: 1"), p.totals.caption());
    EXPECT_EQ(1, p.totals.selectedRow());
}

// Each total keeps the address and name of its own point, even with events of other points
// queued around it, and two totals of one tick are two records.
TEST_F(TotalizerLogTest, TotalsQueuedWithinOneTickKeepTheirOwnPoint) {
    PanelRun& p = start(5, 4);
    PointTable points;
    {
        auto lock = points.lock();
        points.pushTotal(total("10.0.0.7", "Bomba", "09/03/2024", "1,0000"));
        points.pushEvent(entrada(QStringLiteral("Outro ponto")));
        points.pushTotal(total("10.0.0.8", "Esteira", "09/03/2024", "2,0000"));
    }
    EXPECT_EQ(2u, p.totals.TimerRegTotTimer(points));
    EXPECT_EQ((std::vector<QStringList>{{"10.0.0.7", "Bomba", "1,0000"},
                                        {"10.0.0.8", "Esteira", "2,0000"}}),
              sqlRows(path, QStringLiteral("SELECT IP, Nome, Total FROM RegTotalizador ORDER BY "
                                           "rowid")));
    {
        auto lock = points.lock();
        EXPECT_FALSE(points.TimerRegTot_Enabled());
        EXPECT_TRUE(points.TimerRegistraLog_Enabled());
    }
    EXPECT_EQ(0u, p.totals.TimerRegTotTimer(points));
}

TEST_F(TotalizerLogTest, RingWrapsAndRestartsAtTheSavedCounter) {
    PanelRun& p = start(5, 4);
    for (const char* v : {"1", "2", "3", "4", "5"})
        p.totals.Registrar_Totalizador(total("ip", "n", "d", v));
    const QString sql = QStringLiteral("SELECT Total FROM RegTotalizador ORDER BY rowid");
    EXPECT_EQ((std::vector<QStringList>{{"5"}, {"2"}, {"3"}, {"4"}}), sqlRows(path, sql));
    EXPECT_EQ(QStringLiteral("5"), p.totals.grid().cell(0, 4));
    p.config->setCounters(1, 3);

    PanelRun& again = start(5, 4);
    EXPECT_EQ(QStringLiteral("Relatório de Totalizações - Último n: 4"), again.totals.caption());
    again.totals.Registrar_Totalizador(total("ip", "n", "d", "6"));
    EXPECT_EQ((std::vector<QStringList>{{"5"}, {"2"}, {"6"}, {"4"}}), sqlRows(path, sql));
}

TEST_F(TotalizerLogTest, ListingsRebuildTheGridFromTheTable) {
    PanelRun& p = start(5, 10);
    p.totals.Registrar_Totalizador(std::deque<PendingTotal>{
        total("a", "Bomba", "01/03/2024", "1"), total("b", "Esteira", "02/03/2024", "2"),
        total("c", "Bomba", "02/03/2024", "3"), total("d", "", "02/03/2024", "4"),
        total("e", "bomba", "03/03/2024", "5"), total("f", "Bomba", "03/03/2024", "6")});
    struct Case {
        const char* name;
        std::function<int()> list;
        QStringList totals;
    };
    const std::vector<Case> cases = {
        {"by name", [&] { return p.totals.listByName(QStringLiteral("Bomba")); }, {"1", "3", "6"}},
        {"by date",
         [&] { return p.totals.listByDate(QStringLiteral("02/03/2024")); },
         {"2", "3", "4"}},
        {"empty name", [&] { return p.totals.listByName(QString()); }, {"4"}},
        {"no match", [&] { return p.totals.listByName(QStringLiteral("Nada")); }, {}},
        {"all", [&] { return p.totals.listAll(); }, {"1", "2", "3", "4", "5", "6"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.totals.size(), c.list());
        QStringList shown;
        for (int r = 0; r < p.totals.grid().rows(); ++r)
            if (!p.totals.grid().cell(r, 4).isEmpty())
                shown << p.totals.grid().cell(r, 4);
        EXPECT_EQ(c.totals, shown);
    }
}
