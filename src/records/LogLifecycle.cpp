#include "records/LogLifecycle.h"

#include "records/EventLog.h"
#include "records/EventReport.h"
#include "records/TotalizerLog.h"

namespace telvara {

StartupLoad LogLifecycle::loadAtStart(EventLog& events, TotalizerLog& totals,
                                      ConfigRecord& config) {
    StartupLoad s;
    // Positions beyond the ring can never be reached again by it, nor shown: those go, and
    // positions 1..R keep the numbering that the saved counter refers to.
    s.eventsRemoved = events.trimToRing();
    events.load();
    totals.load();
    s.configCreated = config.createIfMissing();
    s.config = config.read();
    events.setNum_evento(s.config.Ultimo_indice_registrado);
    totals.setNum_eventoT(s.config.Num_Totalizacoes);
    return s;
}

QString LogLifecycle::saveAtClose(EventLog& events, TotalizerLog& totals, ConfigRecord& config,
                                  const QString& folder, const Clock& clock) {
    if (!config.exists())
        return {};
    config.setCounters(events.Num_evento(), totals.Num_eventoT());
    return EventReport::write(events.grid(), folder, clock, kSalvoPeloFechamento);
}

} // namespace telvara
