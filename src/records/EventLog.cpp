#include "records/EventLog.h"

#include "core/DatabaseSchema.h"
#include "link/PointTable.h"

namespace telvara {

EventLog::EventLog(const Clock& clock, LocaleFormats formats, int ringSize, QObject* parent)
    : RecordRing(
          Setup{QLatin1String(table::BD_Eventos),
                {QStringLiteral("Indice"), QStringLiteral("Tipo_evento"),
                 QStringLiteral("Descricao"), QStringLiteral("Nome"), QStringLiteral("Ip_causador"),
                 QStringLiteral("Ns_causador"), QStringLiteral("Data_evento"),
                 QStringLiteral("Hora_evento"), QStringLiteral("Acao")},
                kEventGridHeaders,
                8,
                QStringLiteral("Ultimo_indice_registrado"),
                kEventCaptionPrefix,
                ringSize},
          parent)
    , clock_(clock)
    , formats_(std::move(formats)) {}

int EventLog::load() {
    const int n = loadIntoGrid();
    setNum_evento(n - 1);
    setCaptionNumber(n - 1);
    return n;
}

void EventLog::Registrar_log(const PendingEvent& event) {
    Registrar_log(std::deque<PendingEvent>{event});
}

void EventLog::Registrar_log(const std::deque<PendingEvent>& events) {
    writeRecords(events.size(), [&](std::size_t i, int number) {
        const PendingEvent& e = events[i];
        const QDateTime now = clock_.now();
        return QVariantList{number,
                            e.Tipo_evento + QStringLiteral(" I/O:") + e.Num_IO,
                            e.Descricao_evento,
                            e.Nome_IO,
                            e.Ip_log,
                            e.Ns_log,
                            formats_.date(now.date()),
                            formats_.time(now.time()),
                            e.Acao_log};
    });
}

std::size_t EventLog::TimerRegLogTimer(PointTable& points) {
    std::deque<PendingEvent> taken;
    {
        auto lock = points.lock();
        if (!points.TimerRegistraLog_Enabled())
            return 0;
        taken = points.takeEvents();
    }
    try {
        Registrar_log(taken);
    } catch (...) {
        // Nothing of the batch was stored: keep it for the next tick rather than lose it.
        auto lock = points.lock();
        points.putBackEvents(std::move(taken));
        throw;
    }
    return taken.size();
}

void EventLog::apagar() {
    eraseAll();
}

} // namespace telvara
