#include "core/SqlProbe.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace telvara::test;

namespace {

constexpr int kRing = 40;

// What the file must hold after any kill: a sound database whose event ring holds exactly the
// last min(max, R) events written, each at its ring position, with max >= every acknowledged
// event, and the stored counter pointing after the last one.
void checkDatabase(const QString& path, long acknowledged) {
    if (!QFileInfo::exists(path)) {
        EXPECT_EQ(0, acknowledged);
        return;
    }
    ASSERT_EQ(QStringLiteral("ok"), integrityCheck(path));
    if (sqlRows(path, QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'BD_Eventos'"))
            .empty()) {
        EXPECT_EQ(0, acknowledged);
        return;
    }
    const auto rows =
        sqlRows(path, QStringLiteral("SELECT Indice, Nome FROM BD_Eventos ORDER BY rowid"));
    long max = 0;
    std::set<long> seqs;
    for (std::size_t p = 0; p < rows.size(); ++p) {
        const long seq = rows[p][1].toLong();
        EXPECT_EQ(QString::number(p + 1), rows[p][0]) << "position " << p + 1;
        EXPECT_EQ(static_cast<long>(p), (seq - 1) % kRing) << "event " << seq;
        seqs.insert(seq);
        max = std::max(max, seq);
    }
    EXPECT_GE(max, acknowledged);
    EXPECT_EQ(static_cast<std::size_t>(std::min<long>(max, kRing)), rows.size());
    EXPECT_EQ(rows.size(), seqs.size());
    if (!seqs.empty()) {
        EXPECT_EQ(max - static_cast<long>(rows.size()) + 1, *seqs.begin());
    }
    if (max > 0) {
        EXPECT_EQ(QString::number(max % kRing + 1),
                  sqlRows(path, QStringLiteral("SELECT Ultimo_indice_registrado FROM Bd_Valores "
                                               "ORDER BY rowid LIMIT 1"))
                      .at(0)
                      .at(0));
    }
}

} // namespace

// Kills a writing process at arbitrary moments, from the creation of the file on, and checks
// the file after each kill.
TEST(Crash, KilledWriterLeavesASoundFileWithEveryAcknowledgedEvent) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Orvanel/Bd"));
    std::mt19937 rng(20240309);
    std::uniform_int_distribution<int> acksBeforeKill(0, 25);
    long acknowledged = 0;
    QElapsedTimer total;
    total.start();
    int kills = 0;
    for (int round = 0; round < 14 && total.elapsed() < 12000; ++round) {
        QProcess child;
        child.start(QStringLiteral(CRASH_WRITER_EXE), {path, QString::number(kRing)});
        ASSERT_TRUE(child.waitForStarted(5000));
        const int wanted = round == 0 ? 0 : acksBeforeKill(rng);
        int acks = 0;
        QElapsedTimer t;
        t.start();
        while (acks < wanted && t.elapsed() < 4000 && child.state() == QProcess::Running) {
            if (!child.waitForReadyRead(200))
                continue;
            while (child.canReadLine()) {
                acknowledged = std::max(acknowledged, child.readLine().trimmed().toLong());
                ++acks;
            }
        }
        ASSERT_EQ(QProcess::Running, child.state()) << child.readAllStandardError().constData();
        child.kill(); // SIGKILL
        ASSERT_TRUE(child.waitForFinished(5000));
        ++kills;
        while (child.canReadLine())
            acknowledged = std::max(acknowledged, child.readLine().trimmed().toLong());
        SCOPED_TRACE(round);
        checkDatabase(path, acknowledged);
        if (HasFatalFailure() || HasFailure())
            break;
    }
    EXPECT_GE(kills, 5);
    EXPECT_GT(acknowledged, kRing); // the ring wrapped at least once
    std::printf("[ crash    ] %d kills, %ld events acknowledged\n", kills, acknowledged);
}
