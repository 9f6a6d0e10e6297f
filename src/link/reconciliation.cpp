#include "link/reconciliation.h"

#include "link/command_frames.h"
#include "link/input_rule.h"
#include "link/module_models.h"

#include <vector>

namespace telvara {

namespace {

const QString kOn = QStringLiteral("ON");
const QString kOff = QStringLiteral("OFF");
const QString kPul = QStringLiteral("PUL");

enum class Next { Connection, EndPass };

// The module block being answered on one connection.
struct Block {
    LinkContext& ctx;
    net::Connection& conn;
    const ModuleModel& model;
    int first;
    std::string numPuro;

    PointTable& t() { return ctx.table; }
    int outRow(int j) const { return first + model.firstOutput + j; }
    const QString& lido(int r) { return t().cell(col::StLido, r); }
    const QString& com(int r) { return t().cell(col::StCom, r); }
    bool pending(int r) { return !com(r).isEmpty() && com(r) != lido(r); }
    bool allAgree() {
        for (int j = 0; j < model.outputCount; ++j)
            if (com(outRow(j)) != lido(outRow(j)))
                return false;
        return true;
    }
    void send(const std::string& frame, bool lineEnd = true) {
        if (lineEnd)
            conn.writeLn(frame);
        else
            conn.write(frame);
    }
    std::string output(int j) const { return model.outputIds[j].toStdString(); }
};

Next set01(Block& b) {
    std::string states = "0000";
    for (int j = 0; j < b.model.outputCount; ++j) {
        const int r = b.outRow(j);
        const bool on =
            (b.lido(r) == kOn && b.com(r) != kOff) || (b.lido(r) == kOff && b.com(r) == kOn);
        states[static_cast<std::size_t>(j)] = on ? '1' : '0';
    }
    for (int j = 0; j < b.model.outputCount; ++j) {
        const int r = b.outRow(j);
        if (!b.pending(r))
            continue;
        if (b.com(r) == kPul) {
            std::string mask = "0000";
            mask[static_cast<std::size_t>(j)] = '1';
            if (const auto spec = parsePulseSpec(b.t().cell(col::Valor, r))) {
                const auto len = static_cast<std::uint8_t>(spec->length);
                if (spec->tenths())
                    b.send(frames::pulse01(false, len, mask, b.numPuro));
                else if (spec->seconds())
                    b.send(frames::pulse01(true, len, mask, b.numPuro));
            }
            b.t().setCell(col::StLido, r, kOn);
            b.t().setCell(col::StCom, r, QString());
            return Next::Connection;
        }
        if (b.com(r) == kOn || b.com(r) == kOff) {
            // The module takes this frame without a line end when it concerns its first output.
            const bool lineEnd = !(b.model.code == 14 && j == 0);
            b.send(frames::setOutputs01(states, b.numPuro), lineEnd);
            return Next::Connection;
        }
    }
    if (b.allAgree())
        b.send(frames::idleShort(b.numPuro));
    return Next::Connection;
}

Next set02(Block& b) {
    for (int j = 0; j < b.model.outputCount; ++j) {
        const int r = b.outRow(j);
        if (!b.pending(r))
            continue;
        if (b.com(r) == kPul) {
            const auto spec = parsePulseSpec(b.t().cell(col::Valor, r));
            if (spec && spec->tenths()) {
                b.send(frames::pulse02(b.output(j), "0" + spec->digits.toStdString(), b.numPuro));
                b.t().setCell(col::StLido, r, kPul);
                b.t().setCell(col::StCom, r, kOff);
            } else if (spec && spec->seconds()) {
                // The full n x 40 fits the three-digit field (at most 400 for 10 s).
                const std::string time = QStringLiteral("%1")
                                             .arg(spec->length * 40, 3, 10, QLatin1Char('0'))
                                             .toStdString();
                b.t().setCell(col::StLido, r, kPul);
                b.t().setCell(col::StCom, r, kOff);
                b.send(frames::pulse02(b.output(j), time, b.numPuro));
            }
            return Next::EndPass;
        }
        if (b.com(r) == kOn || b.com(r) == kOff) {
            b.send(frames::switch02(b.com(r) == kOn, b.output(j), b.numPuro));
            return Next::EndPass;
        }
    }
    if (b.allAgree())
        b.send(frames::idleLong(b.numPuro));
    return Next::Connection;
}

Next set04(Block& b) {
    for (int j = 0; j < b.model.outputCount; ++j) {
        const int r = b.outRow(j);
        if (!b.pending(r))
            continue;
        if (b.com(r) == kPul) {
            const auto spec = parsePulseSpec(b.t().cell(col::Valor, r));
            b.t().setCell(col::StLido, r, kPul);
            b.t().setCell(col::StCom, r, kOff);
            if (spec && (spec->tenths() || spec->seconds()))
                b.send(frames::pulse04(spec->seconds(), b.output(j), spec->digits.toStdString(),
                                       b.numPuro));
            return Next::EndPass;
        }
        if (b.com(r) == kOn || b.com(r) == kOff) {
            b.send(frames::switch04(b.com(r) == kOn, b.output(j), b.numPuro));
            return Next::EndPass;
        }
    }
    if (b.allAgree())
        b.send(frames::idleShort(b.numPuro));
    return Next::Connection;
}

Next answer(Block& b) {
    for (int k = 0; k < b.model.inputCount; ++k)
        applyInputRule(b.ctx, b.first + b.model.firstInput + k, b.model.totalized);
    switch (b.model.commandSet) {
    case CommandSet::Set01:
        return set01(b);
    case CommandSet::Set02:
        return set02(b);
    case CommandSet::Set04:
        return set04(b);
    case CommandSet::None:
        b.send(frames::idleShort(b.numPuro));
        return Next::Connection;
    }
    return Next::Connection;
}

} // namespace

void reconcile(LinkContext& ctx, const net::Connection& served) {
    PointTable& t = ctx.table;
    t.assertHeld();
    std::lock_guard listLock(ctx.connections.mutex());
    const auto& list = ctx.connections.items();
    if (list.empty())
        return;

    std::vector<int> candidates; // rows of the module, in table order
    for (int r = 0; r < t.Total_disp; ++r)
        if (t.cell(col::Numero, r) == t.Num_serie_agora)
            candidates.push_back(r);
    if (candidates.empty())
        return;

    for (const auto& conn : list) {
        const QString peer = QString::fromStdString(conn->peerAddress());
        int first = -1;
        for (int r : candidates)
            if (t.cell(col::IP, r) == peer) {
                first = r;
                break;
            }
        if (first < 0)
            continue;
        // Only a connection that has delivered this module's frames speaks for it.
        if (const auto it = t.serialOnConnection.find(conn.get());
            it == t.serialOnConnection.end() || it->second != t.Num_serie_agora)
            continue;
        const ModuleModel* model = modelByName(t.cell(col::Modelo, first));
        if (!model)
            continue;
        Block block{ctx, *conn, *model, first, t.cell(col::Numero, first).left(5).toStdString()};
        try {
            if (answer(block) == Next::EndPass)
                return;
        } catch (const net::NetError&) {
            if (conn.get() == &served)
                throw;
            // That connection's own thread sees the broken socket and ends it.
        }
    }
}

} // namespace telvara
