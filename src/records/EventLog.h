#pragma once

#include "core/Clock.h"
#include "core/LocaleFormats.h"
#include "link/PendingItems.h"
#include "records/RecordRing.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <deque>

namespace telvara {

class PointTable;

inline constexpr int kEventRingSize = 1000;
inline const QString kEventCaptionPrefix = QStringLiteral("Relatório de Eventos - Último n: ");
// Named after what the cells hold, as in the header line of the event report file.
inline const QStringList kEventGridHeaders = {
    QStringLiteral("Indice"), QStringLiteral("Tipo"), QStringLiteral("Status"),
    QStringLiteral("Nome"),   QStringLiteral("IP"),   QStringLiteral("Ns/Mod"),
    QStringLiteral("Data"),   QStringLiteral("Hora"), QStringLiteral("Evento")};

// The event log: table BD_Eventos with its own connection (owned, like the grid, by the event
// report window Form_Registros) and the event counter Num_evento.
class EventLog : public RecordRing {
public:
    EventLog(const Clock& clock, LocaleFormats formats, int ringSize = kEventRingSize,
             QObject* parent = nullptr);

    int Num_evento() const { return counter(); }
    void setNum_evento(int next) { setCounter(next); }

    // Start-up: loads the stored records into the grid; Num_evento becomes n - 1 and the caption
    // shows it, until the configuration record's counter replaces it. Returns n.
    int load();

    // One event, or every event of a tick in order, each its own record, in one transaction.
    void Registrar_log(const PendingEvent& event);
    void Registrar_log(const std::deque<PendingEvent>& events);

    // TimerRegLog's work: takes every queued event under the point-table lock (which lowers
    // TimerRegistraLog_Enabled), then writes them. Returns how many were taken.
    std::size_t TimerRegLogTimer(PointTable& points);

    // "Apagar": deletes every record, Num_evento and Ultimo_indice_registrado become 1 and the
    // grid is emptied; the caption is left as it is.
    void apagar();

private:
    const Clock& clock_;
    LocaleFormats formats_;
};

} // namespace telvara
