#pragma once

#include "link/PendingItems.h"
#include "records/RecordRing.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <deque>

namespace telvara {

class PointTable;

inline constexpr int kTotalizerRingSize = 5000;
inline const QString kTotalizerCaptionPrefix =
    QStringLiteral("Relatório de Totalizações - Último n: ");
inline const QStringList kTotalizerGridHeaders = {QStringLiteral("IP"),    QStringLiteral("Nome"),
                                                  QStringLiteral("Data"),  QStringLiteral("Hora"),
                                                  QStringLiteral("Total"), QStringLiteral("Unid")};

// The totalizer log: table RegTotalizador with its own connection (owned, like the grid, by the
// totalizer window FormTotal) and the record counter Num_eventoT.
class TotalizerLog : public RecordRing {
public:
    explicit TotalizerLog(int ringSize = kTotalizerRingSize, QObject* parent = nullptr);

    int Num_eventoT() const { return counter(); }
    void setNum_eventoT(int next) { setCounter(next); }

    // Start-up: loads the stored records into the grid; Num_eventoT becomes m - 1 and the caption
    // shows m. Returns m.
    int load();

    // One total, or every total of a tick in order, each with its own address and point name.
    void Registrar_Totalizador(const PendingTotal& total);
    void Registrar_Totalizador(const std::deque<PendingTotal>& totals);

    // TimerRegTot's work: takes every queued total under the point-table lock, then writes them.
    std::size_t TimerRegTotTimer(PointTable& points);

    // "Ver todos" and "Filtrar": rebuild the grid from the table; return how many rows were listed.
    int listAll();
    int listByName(const QString& nome);      // Nome equal to the text, case included
    int listByDate(const QString& dateShown); // DataIni equal to the date box's text
};

} // namespace telvara
