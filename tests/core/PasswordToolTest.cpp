#include "core/ConfigRecord.h"
#include "core/DatabaseSchema.h"
#include "core/TableConnection.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace telvara;

namespace {

struct ToolRun {
    int exitCode;
    QString out;
    QString err;
};

ToolRun runTool(const QString& root, const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TELVARA_ROOT"), root);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TELVARA_SENHA_EXE), args);
    if (!p.waitForStarted(10000))
        return {-1, {}, QStringLiteral("not started")};
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(5000);
        return {-1, {}, QStringLiteral("timed out")};
    }
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

ConfigValues readConfig(const QString& root) {
    TableConnection c;
    c.open(root + QStringLiteral("/Orvanel/Bd"), QLatin1String(table::Bd_Valores));
    return ConfigRecord(c.table()).read();
}

} // namespace

TEST(PasswordTool, SetsThePasswordOnANewMachineAndLaterFromStandardInput) {
    QTemporaryDir root;
    ToolRun r = runTool(root.path(), {QStringLiteral("segredo 1")});
    ASSERT_EQ(0, r.exitCode) << r.err.toStdString();
    ConfigValues v = readConfig(root.path());
    EXPECT_EQ(QStringLiteral("segredo 1"), v.Senha_software);
    EXPECT_EQ(QStringLiteral("5000"), v.Porta); // the rest keeps its creation values
    EXPECT_EQ(1, v.Ultimo_indice_registrado);

    r = runTool(root.path(), {}, "outra\r\n");
    ASSERT_EQ(0, r.exitCode) << r.err.toStdString();
    EXPECT_EQ(QStringLiteral("outra"), readConfig(root.path()).Senha_software);

    r = runTool(root.path(), {}, "\n");
    EXPECT_EQ(1, r.exitCode);
    EXPECT_TRUE(r.err.contains(QStringLiteral("vazia")));
    EXPECT_EQ(QStringLiteral("outra"), readConfig(root.path()).Senha_software);
}

TEST(PasswordTool, ReportsADamagedDatabase) {
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("Orvanel"));
    QFile f(root.filePath(QStringLiteral("Orvanel/Bd")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("isto não é um banco").repeated(100));
    f.close();
    const ToolRun r = runTool(root.path(), {QStringLiteral("x")});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_TRUE(r.err.contains(QStringLiteral("não é um banco de dados SQLite")))
        << r.err.toStdString();
}
