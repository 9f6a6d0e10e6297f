#include "records/EventReport.h"
#include "records/LogsFixture.h"
#include "records/Windows1252.h"

#include <QDir>

using namespace telvara;
using namespace telvara::test;

namespace {

const QString H66 = QString(66, QLatin1Char('-'));

std::unique_ptr<ReportGridModel> eventGrid(const std::vector<QStringList>& rows) {
    auto g = std::make_unique<ReportGridModel>(kEventRingSize, kEventGridHeaders, 8);
    for (std::size_t r = 0; r < rows.size(); ++r)
        g->setRow(static_cast<int>(r), rows[r]);
    return g;
}

} // namespace

TEST(EventReport, ListsRowsUpToTheFirstWithoutIndice) {
    const QStringList a = {"1", "Software I/O:", "ON",       "Iniciado", "-",
                           "-", "09/03/2024",    "14:05:07", "Pronto..."};
    const QStringList b = {"2",       "Entrada I/O:3", "OFF",      "Bomba",   "10.0.0.7",
                           "1234567", "09/03/2024",    "14:06:00", "Alterado"};
    QStringList afterGap = b;
    afterGap[0] = QStringLiteral("9");
    auto g = eventGrid({a, b, a, {}, afterGap});

    const QString text = EventReport::text(*g, kSalvoPeloBotao);
    const QString expected =
        "Indice-Tipo-Status-Nome-IP-Ns/Mod-Data-Hora-Evento\r\n" + H66 + "\r\n" +
        "1-Software I/O:-ON-Iniciado-----09/03/2024-14:05:07-Pronto...-\r\n" + H66 + "\r\n" +
        "2-Entrada I/O:3-OFF-Bomba-10.0.0.7-1234567-09/03/2024-14:06:00-Alterado-\r\n" + H66 +
        "\r\n" + "1-Software I/O:-ON-Iniciado-----09/03/2024-14:05:07-Pronto...-\r\n" + H66 +
        "\r\n" + "Salvo pelo botão SALVAR\r\n" + H66;
    EXPECT_EQ(expected, text);
    EXPECT_EQ(2 + 3 * 2 + 2, text.split(QStringLiteral("\r\n")).size());

    EXPECT_EQ("Indice-Tipo-Status-Nome-IP-Ns/Mod-Data-Hora-Evento\r\n" + H66 + "\r\n" +
                  kSalvoPeloFechamento + "\r\n" + H66,
              EventReport::text(*eventGrid({}), kSalvoPeloFechamento));
}

TEST(EventReport, WindowsCodePage) {
    EXPECT_EQ(QByteArray("Conex\xE3o bot\xE3o \x80 \x96 \x93x\x94 ?"),
              toWindows1252(QStringLiteral("Conexão botão € – “x” ✓")));
    EXPECT_EQ(QByteArray("?a"), toWindows1252(QString::fromUtf8("\xF0\x9F\x98\x80"
                                                                "a")));
}

TEST(EventReport, FileIsNamedByTheMinuteAndReplacedWithinIt) {
    QTemporaryDir dir;
    FakeClock clock{QDateTime(QDate(2024, 3, 9), QTime(14, 5, 7))};
    auto g = eventGrid({{"1", "Conexão I/O:", "ON", "Conectou", "10.0.0.7", "1234567", "09/03/2024",
                         "14:05:07", "Alterado"}});
    const QString first = EventReport::write(*g, dir.path(), clock, kSalvoPeloBotao);
    EXPECT_EQ(dir.filePath(QStringLiteral("Reg_09_03_24_14_05.txt")), first);
    const QByteArray bytes = fileBytes(first);
    EXPECT_TRUE(bytes.contains("1-Conex\xE3o I/O:-ON-"));
    EXPECT_TRUE(bytes.contains("Salvo pelo bot\xE3o SALVAR\r\n"));
    EXPECT_TRUE(bytes.endsWith(H66.toLatin1()));

    clock.advanceSecs(40); // 14:05:47, same minute
    g->setCell(0, 3, QStringLiteral("Outro"));
    EXPECT_EQ(first, EventReport::write(*g, dir.path(), clock, kSalvoPeloBotao));
    EXPECT_TRUE(fileBytes(first).contains("-Outro-"));
    clock.advanceSecs(20);
    EXPECT_EQ(dir.filePath(QStringLiteral("Reg_09_03_24_14_06.txt")),
              EventReport::write(*g, dir.path(), clock, kSalvoPeloBotao));
    EXPECT_EQ(2, QDir(dir.path()).entryList(QDir::Files).size());
}

TEST(EventReport, MissingFolderIsAnErrorAndIsNotCreated) {
    QTemporaryDir dir;
    FakeClock clock{QDateTime(QDate(2024, 3, 9), QTime(14, 5, 7))};
    const QString folder = dir.filePath(QStringLiteral("Orvabase/Registros"));
    try {
        EventReport::write(*eventGrid({}), folder, clock, kSalvoPeloBotao);
        ADD_FAILURE();
    } catch (const ReportFileError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Reg_09_03_24_14_05.txt")));
    }
    EXPECT_FALSE(QDir(folder).exists());
}

using ShutDown = LogsTest;

TEST_F(ShutDown, SavesBothCountersThenExportsAndKeepsTheCountersWhenTheExportFails) {
    PanelRun& p = start(5, 4);
    p.events.Registrar_log(entrada(QStringLiteral("a")));
    p.events.setNum_evento(4);
    p.totals.setNum_eventoT(3);
    const QString folder = dir.filePath(QStringLiteral("Orvanel/Registros"));
    EXPECT_THROW(LogLifecycle::saveAtClose(p.events, p.totals, *p.config, folder, clock),
                 ReportFileError);
    EXPECT_EQ(QStringLiteral("4"), storedConfig("Ultimo_indice_registrado"));
    EXPECT_EQ(QStringLiteral("3"), storedConfig("Num_Totalizacoes"));

    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = LogLifecycle::saveAtClose(p.events, p.totals, *p.config, folder, clock);
    EXPECT_TRUE(fileBytes(file).contains("Salvo pelo fechamento do programa\r\n"));
    EXPECT_TRUE(fileBytes(file).contains("-a-"));

    PanelRun& again = start(5, 4);
    EXPECT_EQ(4, again.events.Num_evento());
    EXPECT_EQ(3, again.totals.Num_eventoT());
}

TEST_F(ShutDown, DoesNothingWithoutAConfigurationRecord) {
    QDir().mkpath(dir.filePath(QStringLiteral("Orvanel")));
    PanelRun p(path, clock, 5, 4, /*load*/ false);
    EXPECT_EQ(QString(), LogLifecycle::saveAtClose(p.events, p.totals, *p.config,
                                                   dir.filePath(QStringLiteral("Orvanel")), clock));
    EXPECT_TRUE(sqlRows(path, QStringLiteral("SELECT * FROM Bd_Valores")).empty());
    EXPECT_EQ(1, QDir(dir.filePath(QStringLiteral("Orvanel"))).entryList(QDir::Files).size());
}
