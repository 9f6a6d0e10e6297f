#include "records/TotalizerLog.h"

#include "core/DatabaseSchema.h"
#include "link/PointTable.h"

namespace telvara {

TotalizerLog::TotalizerLog(int ringSize, QObject* parent)
    : RecordRing(Setup{QLatin1String(table::RegTotalizador),
                       {QStringLiteral("IP"), QStringLiteral("Nome"), QStringLiteral("DataIni"),
                        QStringLiteral("HoraIni"), QStringLiteral("Total"), QStringLiteral("Unid")},
                       kTotalizerGridHeaders,
                       5,
                       QStringLiteral("Num_Totalizacoes"),
                       kTotalizerCaptionPrefix,
                       ringSize},
                 parent) {}

int TotalizerLog::load() {
    const int m = loadIntoGrid();
    setNum_eventoT(m - 1);
    setCaptionNumber(m);
    return m;
}

void TotalizerLog::Registrar_Totalizador(const PendingTotal& total) {
    Registrar_Totalizador(std::deque<PendingTotal>{total});
}

void TotalizerLog::Registrar_Totalizador(const std::deque<PendingTotal>& totals) {
    writeRecords(totals.size(), [&](std::size_t i, int) {
        const PendingTotal& t = totals[i];
        return QVariantList{t.Ip_log,      t.Nome_IO,    t.DataInicial,
                            t.HoraInicial, t.TotalFinal, t.Unidade};
    });
}

std::size_t TotalizerLog::TimerRegTotTimer(PointTable& points) {
    std::deque<PendingTotal> taken;
    {
        auto lock = points.lock();
        if (!points.TimerRegTot_Enabled())
            return 0;
        taken = points.takeTotals();
    }
    try {
        Registrar_Totalizador(taken);
    } catch (...) {
        // Nothing of the batch was stored: keep it for the next tick rather than lose it.
        auto lock = points.lock();
        points.putBackTotals(std::move(taken));
        throw;
    }
    return taken.size();
}

int TotalizerLog::listAll() {
    return listInto([](const TableCursor&) { return true; });
}

int TotalizerLog::listByName(const QString& nome) {
    return listInto([&](const TableCursor& t) { return t.text(QStringLiteral("Nome")) == nome; });
}

int TotalizerLog::listByDate(const QString& dateShown) {
    return listInto(
        [&](const TableCursor& t) { return t.text(QStringLiteral("DataIni")) == dateShown; });
}

} // namespace telvara
