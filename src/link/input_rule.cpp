#include "link/input_rule.h"

#include "link/frame_reader.h"

namespace telvara {

namespace {

const QString kOn = QStringLiteral("ON");
const QString kOff = QStringLiteral("OFF");
const QString kDayFormat = QStringLiteral("dd/MM/yyyy");

// Times the ON period that just ended and queues its total. The start is the row's own switch-on
// date and time, so another input's later switch-on cannot falsify it. A start that cannot be
// read gives no total at all rather than a made-up one.
void closeOnPeriod(LinkContext& ctx, int row) {
    PointTable& t = ctx.table;
    const QDate day = QDate::fromString(t.cell(col::Param4, row), kDayFormat);
    const auto time = ctx.formats.parseTime(t.cell(col::Param3, row));
    if (!day.isValid() || !time)
        return;
    const QString& rateText = t.cell(col::Param1, row);
    if (!rateText.isEmpty()) {
        const auto rate = toInt(rateText);
        if (!rate)
            return;
        const double hours = hoursOn(QDateTime(day, *time), ctx.clock.now());
        t.setCell(col::ValorExibido, row, ctx.formats.fixed(*rate * hours, 4));
    }
    t.pushTotal(PendingTotal{t.cell(col::Param4, row), t.cell(col::Param3, row),
                             t.cell(col::ValorExibido, row), t.cell(col::Unid, row),
                             t.cell(col::IP, row), t.cell(col::Nome, row)});
}

} // namespace

double hoursOn(const QDateTime& start, const QDateTime& end) {
    const qint64 secs = start.msecsTo(end) / 1000;
    return secs <= 0 ? 0.0 : static_cast<double>(secs) / 3600.0;
}

void applyInputRule(LinkContext& ctx, int row, bool totalized) {
    PointTable& t = ctx.table;
    t.assertHeld();
    const QString lido = t.cell(col::StLido, row);
    const QString& seen = t.cell(col::StCom, row);
    if (seen.isEmpty()) {
        if (lido == kOn || lido == kOff)
            t.setCell(col::StCom, row, lido);
        return;
    }
    if (lido == seen)
        return;

    if (totalized) {
        if (lido == kOn) {
            t.setCell(col::Param3, row, ctx.formats.time(ctx.clock.now().time()));
            t.DataON = ctx.formats.date(ctx.clock.now().date());
            t.setCell(col::Param4, row, ctx.clock.now().date().toString(kDayFormat));
        } else if (lido == kOff) {
            closeOnPeriod(ctx, row);
        }
    }
    t.pushEvent(PendingEvent{QStringLiteral("Entrada"), lido, t.cell(col::IP, row),
                             t.cell(col::Numero, row), QStringLiteral("Alterado"),
                             t.cell(col::Nome, row), t.cell(col::IO, row)});
    t.setCell(col::StCom, row, lido);
    if (t.cell(col::Valor, row) == QStringLiteral("SOM"))
        ctx.ui.TocarSom();
}

} // namespace telvara
