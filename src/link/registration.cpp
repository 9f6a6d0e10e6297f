#include "link/registration.h"

#include "link/module_models.h"

namespace telvara {

namespace {

const QString kOn = QStringLiteral("ON");
const QString kOff = QStringLiteral("OFF");

QString notAnInteger(const QString& text) {
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

QString bitState(std::uint8_t byte, int bit) {
    return (byte >> bit) & 1 ? kOn : kOff;
}
QString charState(std::uint8_t c) {
    return c == '1' ? kOn : kOff;
}

void registerModule(LinkContext& ctx, const StatusFrame& frame, const QString& serial,
                    const net::Connection& connection, int row) {
    PointTable& t = ctx.table;
    QString code;
    for (int p = 8; p <= 10; ++p)
        code += QChar(frame.at(p));
    const auto codeValue = toInt(code);
    const ModuleModel* model = codeValue ? modelByCode(*codeValue) : nullptr;
    if (model) {
        const QString peer = QString::fromStdString(connection.peerAddress());
        const QString port = QString::number(connection.localPort());
        for (int n = 1; n <= model->rows(); ++n) {
            const int r = row + n - 1;
            t.setCell(col::Numero, r, serial);
            t.setCell(col::IP, r, peer);
            t.setCell(col::Porta, r, port);
            t.setCell(col::Modelo, r, model->name);
            t.setCell(col::IO, r, QString::number(n));
            t.setCell(col::StLido, r, model->initialState);
            t.setCell(col::Tipo, r, model->tipos[n - 1]);
            t.setCell(col::Evento, r, QStringLiteral("Conectado"));
            t.setCell(col::Rx1, r, QStringLiteral("0"));
            t.setCell(col::Rx2, r, QStringLiteral("0"));
            ++t.Total_disp;
        }
    } else {
        // Outside the rows in use; the next registration overwrites it.
        t.setCell(col::Modelo, row, QStringLiteral("ERRO_MOD"));
    }
    t.caption = kBareCaption + QStringLiteral(" - ") +
                QString::fromStdString(connection.localAddress()) + QStringLiteral(" - ") +
                QString::number(t.Total_disp);
    ctx.ui.setCaption(t.caption);
    t.Timer_Carrega_Banco_Enabled = true;
    t.TimerOut_Enabled = true;
    t.TimerSuperv_Enabled = true;
    ctx.ui.moduleRegistered();
    if (!model)
        throw LinkError(QStringLiteral("Unknown module model '%1'").arg(code).toStdString());
}

void analogChannel(LinkContext& ctx, int first, int k, int raw) {
    PointTable& t = ctx.table;
    const int r = first + 4 + k;
    std::array<int, 6> v{};
    for (int c = col::Param1; c <= col::ALMax; ++c) {
        // An empty or mistyped parameter leaves the channel as it is: an operator typo must not
        // end the module's connection at every frame.
        const auto value = toInt(t.cell(c, r));
        if (!value)
            return;
        v[static_cast<std::size_t>(c - col::Param1)] = *value;
    }
    const auto [iniVar, fimVar, iniEsc, fimEsc, alMin, alMax] = v;
    if (iniVar == fimVar)
        return; // no scale can be drawn through a single raw value
    const double nPtos = static_cast<double>(static_cast<qint64>(fimEsc) - iniEsc) /
                         static_cast<double>(static_cast<qint64>(fimVar) - iniVar);
    const double nVals = static_cast<double>(static_cast<qint64>(raw) - iniVar) * nPtos + iniEsc;
    t.setCell(col::ValorExibido, r, ctx.formats.fixed(nVals, 2));

    const bool low = alMin != 0 && alMin > nVals;
    const bool high = alMax != 0 && nVals > alMax;
    if (!low && !high) {
        if (k == 1)
            t.setCell(col::Evento, r, QStringLiteral("Conectado"));
        return;
    }
    const QString& nome = t.cell(col::Nome, r);
    QString label;
    if (alMin > nVals)
        label = QStringLiteral("Alarme baixo em ") + nome + QStringLiteral(" ! ");
    if (high)
        label = QStringLiteral("Alarme alto em ") + nome + QStringLiteral(" ! ");
    if (t.cell(col::Evento, r) != QStringLiteral("ALARME")) {
        t.setCell(col::Evento, r, QStringLiteral("ALARME"));
        t.pushEvent(PendingEvent{QStringLiteral("Alarme"), QStringLiteral("ALARM"),
                                 t.cell(col::IP, r), t.cell(col::Numero, r),
                                 QStringLiteral("Acionado"), nome, t.cell(col::IO, r)});
    }
    ctx.ui.showAlarm(label);
}

void updateStatus(LinkContext& ctx, const StatusFrame& frame, int first) {
    PointTable& t = ctx.table;
    const auto rx = toInt(t.cell(col::Rx1, first));
    if (!rx)
        throw LinkError(notAnInteger(t.cell(col::Rx1, first)).toStdString());
    t.setCell(col::Rx1, first, QString::number(*rx + 1));

    const ModuleModel* model = modelByName(t.cell(col::Modelo, first));
    if (!model)
        return;
    auto st = [&](int row, const QString& s) {
        t.setCell(col::StLido, first + row, s);
    };
    int stComFrom = 0, stComTo = -1, rxTo = 0;
    switch (model->code) {
    case 12: // VOLK-Lira
        st(0, bitState(frame.at(12), 0));
        for (int b = 0; b < 2; ++b)
            st(1 + b, bitState(frame.at(14), b));
        stComFrom = 1, stComTo = 2, rxTo = 2;
        break;
    case 10: // VOLK-Orla
        for (int b = 0; b < 3; ++b)
            st(b, bitState(frame.at(12), b));
        for (int b = 0; b < 4; ++b)
            st(3 + b, bitState(frame.at(14), b));
        stComFrom = 3, stComTo = 6, rxTo = 6;
        break;
    case 14: // VOLK-Sela
        for (int b = 0; b < 4; ++b)
            st(b, bitState(frame.at(12), b));
        for (int b = 0; b < 4; ++b)
            st(4 + b, bitState(frame.at(14), b));
        stComFrom = 4, stComTo = 7, rxTo = 7;
        break;
    case 20: // VOLK-Tove
        for (int b = 0; b < 3; ++b)
            st(b, bitState(frame.at(11), b));
        for (int b = 0; b < 8; ++b)
            st(3 + b, bitState(frame.at(12), b));
        stComFrom = 3, stComTo = 10, rxTo = 10;
        break;
    case 30: // VOLK-Unda
        for (int p = 0; p < 16; ++p)
            st(p, charState(frame.at(11 + p)));
        rxTo = 15;
        break;
    case 40: { // VOLK-Vica
        for (int p = 0; p < 5; ++p)
            st(p, charState(frame.at(11 + p)));
        std::array<QString, 4> raw;
        for (int k = 0; k < 4; ++k) {
            for (int p = 0; p < 4; ++p)
                raw[static_cast<std::size_t>(k)] += QChar(frame.at(16 + 4 * k + p));
            st(5 + k, raw[static_cast<std::size_t>(k)]);
        }
        for (int k = 0; k < 4; ++k) {
            const auto aux = toInt(raw[static_cast<std::size_t>(k)]);
            if (!aux)
                throw LinkError(notAnInteger(raw[static_cast<std::size_t>(k)]).toStdString());
            analogChannel(ctx, first, k + 1, *aux);
        }
        st(9, QStringLiteral("D/A 01"));
        st(10, QStringLiteral("D/A 02"));
        stComFrom = 0, stComTo = 8, rxTo = 10;
        break;
    }
    default:
        return;
    }
    for (int r = first + stComFrom; r <= first + stComTo; ++r)
        if (t.cell(col::StCom, r).isEmpty())
            t.setCell(col::StCom, r, t.cell(col::StLido, r));
    for (int r = first + 1; r <= first + rxTo; ++r)
        t.setCell(col::Rx1, r, t.cell(col::Rx1, first));
    t.Num_serie_agora = t.cell(col::Numero, first);
}

} // namespace

void applyStatusFrame(LinkContext& ctx, const StatusFrame& frame, const QString& serial,
                      const net::Connection& connection) {
    PointTable& t = ctx.table;
    t.assertHeld();
    // Refused before the scan: a stored non-number would break every later scan for all modules.
    if (!isDecimalSerial(serial))
        throw LinkError(notAnInteger(serial).toStdString());
    const int serialValue = *toInt(serial);

    for (int i = 0; i < kScanRows; ++i) {
        const QString& number = t.cell(col::Numero, i);
        if (number.isEmpty()) {
            registerModule(ctx, frame, serial, connection, i);
            return;
        }
        const auto stored = toInt(number);
        const bool equal = stored && *stored == serialValue;
        if (equal)
            updateStatus(ctx, frame, i);
        // Keeps copied counters of earlier blocks within range as later scans pass them.
        if (const auto rx = toInt(t.cell(col::Rx1, i)); rx && *rx > 99)
            t.setCell(col::Rx1, i, QStringLiteral("0"));
        if (equal)
            return;
    }
}

} // namespace telvara
