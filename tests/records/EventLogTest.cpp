#include "link/PointTable.h"
#include "records/LogsFixture.h"

using namespace telvara;
using namespace telvara::test;

namespace {

std::vector<QStringList> rows(std::initializer_list<std::pair<int, const char*>> list) {
    std::vector<QStringList> out;
    for (const auto& [i, nome] : list)
        out.push_back({QString::number(i), QLatin1String(nome)});
    return out;
}

} // namespace

using EventLogTest = LogsTest;

TEST_F(EventLogTest, FirstStartShowsEmptyCaptionsAndTheFirstEventTakesRowZero) {
    PanelRun& p = start();
    EXPECT_TRUE(p.start.configCreated);
    EXPECT_EQ(QStringLiteral("Relatório de Eventos - Último n: -1"), p.events.caption());
    EXPECT_EQ(QStringLiteral("Relatório de Totalizações - Último n: 0"), p.totals.caption());
    EXPECT_EQ(1, p.events.Num_evento());
    EXPECT_EQ(1, p.totals.Num_eventoT());

    QStringList captions;
    QObject::connect(&p.events, &RecordRing::captionChanged,
                     [&](const QString& c) { captions << c; });
    p.events.Registrar_log(entrada(QStringLiteral("porta")));
    EXPECT_EQ(rows({{1, "porta"}}), storedEvents());
    EXPECT_EQ(QStringLiteral("1"), p.events.grid().cell(0, 0));
    EXPECT_EQ(QStringLiteral("porta"), p.events.grid().cell(0, 3));
    EXPECT_EQ(1, p.events.selectedRow());
    EXPECT_EQ(2, p.events.Num_evento());
    EXPECT_EQ(QStringList{QStringLiteral("Relatório de Eventos - Último n: 1")}, captions);
}

TEST_F(EventLogTest, RingAppendsUpToItsSizeThenOverwritesFromPositionOne) {
    PanelRun& p = start(5);
    for (const char* n : {"e1", "e2", "e3", "e4", "e5"})
        p.events.Registrar_log(entrada(QLatin1String(n)));
    EXPECT_EQ(rows({{1, "e1"}, {2, "e2"}, {3, "e3"}, {4, "e4"}, {5, "e5"}}), storedEvents());
    EXPECT_EQ(1, p.events.Num_evento());
    EXPECT_EQ(0, p.events.selectedRow());
    EXPECT_EQ(QStringLiteral("Relatório de Eventos - Último n: 5"), p.events.caption());

    p.events.Registrar_log(entrada(QStringLiteral("e6")));
    p.events.Registrar_log(entrada(QStringLiteral("e7")));
    EXPECT_EQ(rows({{1, "e6"}, {2, "e7"}, {3, "e3"}, {4, "e4"}, {5, "e5"}}), storedEvents());
    EXPECT_EQ(QStringLiteral("e6"), p.events.grid().cell(0, 3));
    EXPECT_EQ(QStringLiteral("e7"), p.events.grid().cell(1, 3));
    EXPECT_EQ(QStringLiteral("e3"), p.events.grid().cell(2, 3));
    EXPECT_EQ(3, p.events.Num_evento());
}

// The saved counter says where the next event goes after a restart with a full ring; a counter
// outside the ring starts again at position 1.
TEST_F(EventLogTest, RestartWithSavedCounterOverwritesThatPosition) {
    struct Case {
        int saved;
        int first;
    };
    for (const Case c : {Case{3, 3}, Case{5, 5}, Case{1, 1}, Case{0, 1}, Case{9, 1}, Case{-4, 1}}) {
        SCOPED_TRACE(c.saved);
        wipe();
        PanelRun& p = start(5);
        for (const char* n : {"e1", "e2", "e3", "e4", "e5"})
            p.events.Registrar_log(entrada(QLatin1String(n)));
        p.config->setCounters(c.saved, 1);

        PanelRun& again = start(5);
        EXPECT_EQ(QStringLiteral("Relatório de Eventos - Último n: 4"), again.events.caption());
        EXPECT_EQ(c.saved, again.events.Num_evento());
        EXPECT_EQ(QStringLiteral("e2"), again.events.grid().cell(1, 3));
        again.events.Registrar_log(entrada(QStringLiteral("x")));
        again.events.Registrar_log(entrada(QStringLiteral("y")));
        const auto s = storedEvents();
        ASSERT_EQ(5u, s.size());
        const int second = c.first % 5 + 1;
        EXPECT_EQ((QStringList{QString::number(c.first), QStringLiteral("x")}), s[c.first - 1]);
        EXPECT_EQ((QStringList{QString::number(second), QStringLiteral("y")}), s[second - 1]);
        EXPECT_EQ(QStringLiteral("x"), again.events.grid().cell(c.first - 1, 3));
    }
}

// The counter is stored with each write, so a run that never reached FormClose resumes at the
// right position instead of overwriting its own latest events.
TEST_F(EventLogTest, CounterSurvivesAStopWithoutShutDown) {
    PanelRun& p = start(5, 4);
    for (const char* n : {"e1", "e2", "e3", "e4", "e5", "e6", "e7"})
        p.events.Registrar_log(entrada(QLatin1String(n)));
    p.totals.Registrar_Totalizador(PendingTotal{});
    EXPECT_EQ(QStringLiteral("3"), storedConfig("Ultimo_indice_registrado"));
    EXPECT_EQ(QStringLiteral("2"), storedConfig("Num_Totalizacoes"));

    PanelRun& again = start(5, 4);
    EXPECT_EQ(3, again.events.Num_evento());
    EXPECT_EQ(2, again.totals.Num_eventoT());
    again.events.Registrar_log(entrada(QStringLiteral("e8")));
    EXPECT_EQ(rows({{1, "e6"}, {2, "e7"}, {3, "e8"}, {4, "e4"}, {5, "e5"}}), storedEvents());
}

TEST_F(EventLogTest, EraseEmptiesTableAndGridAndTheNextEventIsNumberOne) {
    PanelRun& p = start(5);
    for (const char* n : {"e1", "e2", "e3", "e4", "e5", "e6", "e7"})
        p.events.Registrar_log(entrada(QLatin1String(n)));
    const QString caption = p.events.caption();

    p.events.apagar();
    EXPECT_TRUE(storedEvents().empty());
    EXPECT_EQ(QStringLiteral("1"), storedConfig("Ultimo_indice_registrado"));
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 9; ++c)
            EXPECT_TRUE(p.events.grid().cell(r, c).isEmpty());
    EXPECT_EQ(0, p.events.selectedRow());
    EXPECT_EQ(caption, p.events.caption());

    p.events.Registrar_log(entrada(QStringLiteral("novo")));
    EXPECT_EQ(rows({{1, "novo"}}), storedEvents());
    EXPECT_EQ(QStringLiteral("novo"), p.events.grid().cell(0, 3));
    EXPECT_EQ(2, start(5).events.Num_evento());
}

TEST_F(EventLogTest, EveryKindOfEventIsStoredWithTheIoSuffixAndTheClockInLocalFormats) {
    PanelRun& p = start(10);
    const QString ip = QStringLiteral("10.0.0.7"), ns = QStringLiteral("1234567");
    const QString dash = QStringLiteral("-");
    struct Case {
        PendingEvent e;
        QString tipo;
    };
    // PendingEvent: Tipo_evento, Descricao_evento, Ip_log, Ns_log, Acao_log, Nome_IO, Num_IO
    const std::vector<Case> cases = {
        {{"Software", "ON", dash, dash, "Pronto...", "Iniciado", ""}, "Software I/O:"},
        {{"Conexão", "ON", ip, ns, "Alterado", "Conectou", ""}, "Conexão I/O:"},
        {{"Conexão", "OFF", ip, ns, "Alterado", "Desconectado", ""}, "Conexão I/O:"},
        {{"Entrada", "OFF", ip, ns, "Alterado", "Bomba 2", "4"}, "Entrada I/O:4"},
        {{"Alarme", "ALARM", ip, ns, "Acionado", "Nível", "9"}, "Alarme I/O:9"},
        {{"Comando", "PUL", ip, ns, "Enviado", "Portão", "12"}, "Comando I/O:12"},
    };
    int n = 0;
    for (const Case& c : cases) {
        clock.advanceSecs(61);
        p.events.Registrar_log(c.e);
        ++n;
        const QDateTime now = clock.now();
        const QStringList expected = {QString::number(n),
                                      c.tipo,
                                      c.e.Descricao_evento,
                                      c.e.Nome_IO,
                                      c.e.Ip_log,
                                      c.e.Ns_log,
                                      now.toString(QStringLiteral("dd/MM/yyyy")),
                                      now.toString(QStringLiteral("HH:mm:ss")),
                                      c.e.Acao_log};
        const auto stored =
            sqlRows(path, QStringLiteral("SELECT Indice, Tipo_evento, Descricao, Nome, "
                                         "Ip_causador, Ns_causador, Data_evento, Hora_evento, "
                                         "Acao FROM BD_Eventos ORDER BY rowid"));
        EXPECT_EQ(expected, stored.at(static_cast<std::size_t>(n - 1)));
        QStringList grid;
        for (int col = 0; col < 9; ++col)
            grid << p.events.grid().cell(n - 1, col);
        EXPECT_EQ(expected, grid);
    }
    EXPECT_EQ(QStringLiteral("integer"),
              sqlRows(path, QStringLiteral("SELECT typeof(Indice) FROM BD_Eventos")).at(0).at(0));
}

TEST_F(EventLogTest, EveryEventQueuedWithinOneTickBecomesItsOwnRecordInOrder) {
    PanelRun& p = start(5);
    PointTable points;
    EXPECT_EQ(0u, p.events.TimerRegLogTimer(points));
    {
        auto lock = points.lock();
        points.pushEvent(entrada(QStringLiteral("a"), QStringLiteral("ON")));
        points.pushEvent(entrada(QStringLiteral("b"), QStringLiteral("OFF")));
        points.pushEvent(entrada(QStringLiteral("c"), QStringLiteral("ON")));
        EXPECT_TRUE(points.TimerRegistraLog_Enabled());
    }
    EXPECT_EQ(3u, p.events.TimerRegLogTimer(points));
    {
        auto lock = points.lock();
        EXPECT_FALSE(points.TimerRegistraLog_Enabled());
    }
    EXPECT_EQ(rows({{1, "a"}, {2, "b"}, {3, "c"}}), storedEvents());
    EXPECT_EQ(QStringLiteral("OFF"), p.events.grid().cell(1, 2));
    EXPECT_EQ(QStringLiteral("Relatório de Eventos - Último n: 3"), p.events.caption());
    EXPECT_EQ(3, p.events.selectedRow());
    EXPECT_EQ(0u, p.events.TimerRegLogTimer(points));
    EXPECT_EQ(3u, storedEvents().size());
}

// A batch is one transaction: when one of its records cannot be written, none is, and the
// grid and the counter stay as they were; the next tick writes where this one would have.
TEST_F(EventLogTest, AFailedBatchStoresNothingAndChangesNothing) {
    for (int before : {2, 5}) { // while appending, and once the ring is full
        SCOPED_TRACE(before);
        wipe();
        PanelRun& p = start(5);
        for (int i = 1; i <= before; ++i)
            p.events.Registrar_log(entrada(QStringLiteral("e%1").arg(i)));
        sqlExec(path, QStringLiteral(
                          "CREATE TRIGGER t1 BEFORE INSERT ON BD_Eventos WHEN NEW.Nome = 'boom' "
                          "BEGIN SELECT RAISE(ABORT, 'recusado'); END;"
                          "CREATE TRIGGER t2 BEFORE UPDATE ON BD_Eventos WHEN NEW.Nome = 'boom' "
                          "BEGIN SELECT RAISE(ABORT, 'recusado'); END;"));
        const auto stored = storedEvents();
        const int counter = p.events.Num_evento();
        const QString row2 = p.events.grid().cell(2, 3);

        EXPECT_THROW(p.events.Registrar_log(std::deque<PendingEvent>{
                         entrada(QStringLiteral("ok1")), entrada(QStringLiteral("boom")),
                         entrada(QStringLiteral("ok2"))}),
                     DatabaseError);
        EXPECT_EQ(stored, storedEvents());
        EXPECT_EQ(counter, p.events.Num_evento());
        EXPECT_EQ(row2, p.events.grid().cell(2, 3));
        EXPECT_EQ(QString::number(counter), storedConfig("Ultimo_indice_registrado"));

        p.events.Registrar_log(entrada(QStringLiteral("depois")));
        const auto after = storedEvents();
        EXPECT_EQ(QStringList({QString::number(counter), QStringLiteral("depois")}),
                  after.at(static_cast<std::size_t>(counter - 1)));
        EXPECT_EQ(QStringLiteral("ok"), integrityCheck(path));
    }
}

TEST_F(EventLogTest, EventsOfAFailedTickAreWrittenByTheNextOne) {
    PanelRun& p = start(5);
    PointTable points;
    sqlExec(path, QStringLiteral("CREATE TRIGGER t1 BEFORE INSERT ON BD_Eventos "
                                 "BEGIN SELECT RAISE(ABORT, 'disco cheio'); END;"));
    {
        auto lock = points.lock();
        points.pushEvent(entrada(QStringLiteral("a")));
        points.pushEvent(entrada(QStringLiteral("b")));
    }
    EXPECT_THROW(p.events.TimerRegLogTimer(points), DatabaseError);
    {
        auto lock = points.lock();
        points.pushEvent(entrada(QStringLiteral("c"))); // raised meanwhile
        EXPECT_EQ(3u, points.pendingEvents());
    }
    sqlExec(path, QStringLiteral("DROP TRIGGER t1;"));
    EXPECT_EQ(3u, p.events.TimerRegLogTimer(points));
    EXPECT_EQ(rows({{1, "a"}, {2, "b"}, {3, "c"}}), storedEvents());
}

TEST_F(EventLogTest, StartKeepsTheFirstRingPositionsOfAnOverfullTable) {
    QDir().mkpath(dir.filePath(QStringLiteral("Orvanel")));
    { PanelRun create(path, clock, 5, 4); }
    for (int i = 1; i <= 8; ++i)
        sqlExec(path,
                QStringLiteral("INSERT INTO BD_Eventos (Indice, Nome) VALUES (%1, 'r%1')").arg(i));
    PanelRun& p = start(5);
    EXPECT_EQ(3, p.start.eventsRemoved);
    EXPECT_EQ(rows({{1, "r1"}, {2, "r2"}, {3, "r3"}, {4, "r4"}, {5, "r5"}}), storedEvents());
    EXPECT_EQ(QStringLiteral("r5"), p.events.grid().cell(4, 3));
    EXPECT_EQ(QStringLiteral("Relatório de Eventos - Último n: 4"), p.events.caption());
}

TEST_F(EventLogTest, MissingColumnFailsLoadAndWriteAndKeepsTheStoredRecords) {
    QDir().mkpath(dir.filePath(QStringLiteral("Orvanel")));
    sqlExec(path, QStringLiteral("CREATE TABLE BD_Eventos (Indice INTEGER, Tipo_evento TEXT, "
                                 "Descricao TEXT, Nome TEXT, Ip_causador TEXT, Ns_causador TEXT, "
                                 "Data_evento TEXT, Hora_evento TEXT);"
                                 "INSERT INTO BD_Eventos (Indice, Nome) VALUES (1, 'antigo');"));
    PanelRun p(path, clock, 5, 4, /*load*/ false);
    try {
        LogLifecycle::loadAtStart(p.events, p.totals, *p.config);
        ADD_FAILURE();
    } catch (const DatabaseError& e) {
        EXPECT_EQ(QStringLiteral("A coluna \"Acao\" não existe na tabela \"BD_Eventos\"."),
                  e.message());
    }
    p.events.setNum_evento(2);
    EXPECT_THROW(p.events.Registrar_log(entrada(QStringLiteral("novo"))), DatabaseError);
    EXPECT_EQ(rows({{1, "antigo"}}), storedEvents());
    EXPECT_EQ(2, p.events.Num_evento());
    EXPECT_TRUE(p.events.grid().cell(1, 0).isEmpty());
}

TEST_F(EventLogTest, RealRingSizes) {
    PanelRun& p = start(kEventRingSize, kTotalizerRingSize);
    std::deque<PendingEvent> batch;
    for (int i = 1; i <= kEventRingSize; ++i)
        batch.push_back(entrada(QStringLiteral("e%1").arg(i)));
    p.events.Registrar_log(batch);
    std::deque<PendingTotal> totals;
    for (int i = 1; i <= kTotalizerRingSize; ++i)
        totals.push_back(PendingTotal{{}, {}, QString::number(i), {}, {}, {}});
    p.totals.Registrar_Totalizador(totals);
    EXPECT_EQ(1, p.events.Num_evento());
    EXPECT_EQ(1, p.totals.Num_eventoT());
    p.events.Registrar_log(entrada(QStringLiteral("volta")));
    p.totals.Registrar_Totalizador(PendingTotal{{}, {}, QStringLiteral("volta"), {}, {}, {}});

    PanelRun& again = start(kEventRingSize, kTotalizerRingSize);
    EXPECT_EQ(QStringLiteral("Relatório de Eventos - Último n: 999"), again.events.caption());
    EXPECT_EQ(QStringLiteral("Relatório de Totalizações - Último n: 5000"), again.totals.caption());
    EXPECT_EQ(2, again.events.Num_evento());
    EXPECT_EQ(2, again.totals.Num_eventoT());
    EXPECT_EQ(QStringLiteral("volta"), again.events.grid().cell(0, 3));
    EXPECT_EQ(QStringLiteral("e1000"), again.events.grid().cell(999, 3));
    EXPECT_EQ(QStringLiteral("volta"), again.totals.grid().cell(0, 4));
    EXPECT_EQ(QStringLiteral("5000"), again.totals.grid().cell(4999, 4));
    EXPECT_EQ(1000u, storedEvents().size());
}
