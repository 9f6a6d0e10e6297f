#include "core/Database.h"
#include "core/ConfigRecord.h"
#include "core/DataRoot.h"
#include "core/DatabaseSchema.h"
#include "core/TableConnection.h"

#include "core/SqlProbe.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace telvara;
using namespace telvara::test;

namespace {

struct TempRoot : ::testing::Test {
    QTemporaryDir dir;
    QString dbPath() const { return dir.filePath(QStringLiteral("Orvanel/Bd")); }
};

QString schemaOf(const QString& path) {
    QString s;
    for (const QStringList& r :
         sqlRows(path, QStringLiteral("SELECT name, sql FROM sqlite_master ORDER BY name")))
        s += r.join(QLatin1Char('|')) + QLatin1Char('\n');
    return s;
}

} // namespace

using FirstStart = TempRoot;

TEST_F(FirstStart, CreatesFolderFileTablesAndConfigRecordThatTheNextStartReadsBack) {
    ASSERT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Orvanel"))));
    {
        TableConnection valores;
        valores.open(dbPath(), QLatin1String(table::Bd_Valores));
        ConfigRecord config(valores.table());
        EXPECT_TRUE(config.createIfMissing());
    }
    ASSERT_TRUE(QFileInfo(dbPath()).isFile());

    // Every column with its declared type, in each of the three tables.
    for (const TableDef& t : databaseTables()) {
        const auto cols = sqlRows(
            dbPath(), QStringLiteral("SELECT name, type FROM pragma_table_info('%1')").arg(t.name));
        ASSERT_EQ(t.columns.size(), cols.size()) << t.name;
        for (std::size_t i = 0; i < cols.size(); ++i) {
            EXPECT_EQ(QLatin1String(t.columns[i].name), cols[i][0]);
            EXPECT_EQ(QLatin1String(t.columns[i].type), cols[i][1]);
        }
    }

    for (int start = 2; start <= 3; ++start) {
        TableConnection valores;
        valores.open(dbPath(), QLatin1String(table::Bd_Valores));
        ConfigRecord config(valores.table());
        EXPECT_FALSE(config.createIfMissing()) << "start " << start;
        const ConfigValues v = config.read();
        EXPECT_EQ(QStringLiteral("5000"), v.Porta);
        EXPECT_EQ(5000, v.portNumber());
        EXPECT_EQ(QString(), v.IPSuperv);
        EXPECT_EQ(kInitialSenhaSoftware, v.Senha_software);
        EXPECT_FALSE(v.Abrir_painel);
        EXPECT_EQ(1, v.Ultimo_indice_registrado);
        EXPECT_EQ(1, v.Num_Totalizacoes);
        EXPECT_EQ(1, valores.table().recordCount());
    }
    EXPECT_EQ(QStringLiteral("ok"), integrityCheck(dbPath()));
}

TEST_F(FirstStart, AddsOnlyMissingTablesAndLeavesExistingOnesAsTheyAre) {
    QDir().mkpath(dir.filePath(QStringLiteral("Orvanel")));
    sqlExec(dbPath(), QStringLiteral("CREATE TABLE bd_eventos (Indice INTEGER, Tipo_evento TEXT, "
                                     "Descricao TEXT, Nome TEXT, Ip_causador TEXT, Ns_causador "
                                     "TEXT, Data_evento TEXT, Hora_evento TEXT, Acao TEXT, Extra "
                                     "TEXT);"
                                     "INSERT INTO bd_eventos (Indice, Nome) VALUES (7, 'antigo');"
                                     "CREATE TABLE Outra (x);"));
    const QString before = schemaOf(dbPath());

    Database db(dbPath());

    const QString after = schemaOf(dbPath());
    EXPECT_TRUE(after.contains(QStringLiteral("bd_eventos|CREATE TABLE bd_eventos (Indice INTEGER, "
                                              "Tipo_evento TEXT, Descricao TEXT, Nome TEXT, "
                                              "Ip_causador TEXT, Ns_causador TEXT, Data_evento "
                                              "TEXT, Hora_evento TEXT, Acao TEXT, Extra TEXT)")));
    EXPECT_TRUE(after.contains(QStringLiteral("Outra|CREATE TABLE Outra (x)")));
    EXPECT_TRUE(after.contains(QStringLiteral("Bd_Valores|")));
    EXPECT_TRUE(after.contains(QStringLiteral("RegTotalizador|")));
    EXPECT_EQ(4, after.count(QLatin1Char('\n')));
    EXPECT_EQ((std::vector<QStringList>{{QStringLiteral("7"), QStringLiteral("antigo")}}),
              sqlRows(dbPath(), QStringLiteral("SELECT Indice, Nome FROM bd_eventos")));

    // A second opening finds nothing to add and writes nothing.
    const QByteArray bytes = fileBytes(dbPath());
    Database again(dbPath());
    EXPECT_EQ(bytes, fileBytes(dbPath()));
}

// A file the panel cannot use is refused with a message naming it, and not one byte changes.
TEST_F(FirstStart, RefusesForeignOrDamagedFilesWithoutTouchingThem) {
    QDir().mkpath(dir.filePath(QStringLiteral("Orvanel")));
    // A real database with some records, to be damaged in several ways.
    {
        Database db(dbPath());
        Database::Transaction tx(db);
        db.exec(QStringLiteral("INSERT INTO BD_Eventos (Indice, Nome) VALUES (1, 'um')"));
        for (int i = 0; i < 200; ++i)
            db.exec(QStringLiteral("INSERT INTO RegTotalizador (Nome, Total) VALUES ('%1', '%2')")
                        .arg(QString(40, QLatin1Char('n')))
                        .arg(i));
        tx.commit();
    }
    const QByteArray good = fileBytes(dbPath());
    ASSERT_GT(good.size(), 4 * 4096);

    struct Case {
        const char* name;
        QByteArray bytes;
    };
    QByteArray garbledPages = good;
    for (qsizetype i = 4096; i < 3 * 4096; ++i)
        garbledPages[i] = static_cast<char>((i * 37) & 0xff);
    const std::vector<Case> cases = {
        {"text file", QByteArray("Relatório de eventos\r\n1-Software I/O:-ON-\r\n").repeated(50)},
        {"garbled pages", garbledPages},
        {"truncated", good.left(good.size() / 2)},
        {"header only", good.left(100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(dbPath(), c.bytes);
        try {
            TableConnection valores;
            valores.open(dbPath(), QLatin1String(table::Bd_Valores));
            ConfigRecord(valores.table()).createIfMissing();
            ADD_FAILURE() << "opened";
        } catch (const DatabaseError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("Bd"))) << e.what();
            EXPECT_TRUE(e.message().contains(QStringLiteral("não é um banco de dados")) ||
                        e.message().contains(QStringLiteral("danificado")))
                << e.what();
        }
        EXPECT_EQ(c.bytes, fileBytes(dbPath()));
        EXPECT_FALSE(QFileInfo::exists(dbPath() + QStringLiteral("-journal")));
    }
}

TEST(DataRoot, PlacesFilesUnderTelvaraRoot) {
    const QByteArray old = qgetenv("TELVARA_ROOT");
    qputenv("TELVARA_ROOT", "/srv/painel");
    EXPECT_EQ(QStringLiteral("/srv/painel/Orvanel/Bd"), DataRoot::databaseFile());
    EXPECT_EQ(QStringLiteral("/srv/painel/Orvanel/Registros"), DataRoot::shutdownReportFolder());
    EXPECT_EQ(QStringLiteral("/srv/painel/Orvabase/Registros"), DataRoot::savedReportFolder());
    qunsetenv("TELVARA_ROOT");
    EXPECT_EQ(QDir::homePath() + QStringLiteral("/Orvanel/Bd"), DataRoot::databaseFile());
    if (!old.isEmpty())
        qputenv("TELVARA_ROOT", old);
}
