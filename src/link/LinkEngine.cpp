#include "link/LinkEngine.h"

#include "link/frame_reader.h"
#include "link/reconciliation.h"
#include "link/registration.h"

namespace telvara {

void LinkEngine::IdTCPServer1Connect(net::Connection&) {
    ctx_.ui.setLabelTotalConec(QString::number(ctx_.connections.size()));
}

void LinkEngine::IdTCPServer1Disconnect(net::Connection& connection) {
    {
        auto lock = ctx_.table.lock();
        ctx_.table.serialOnConnection.erase(&connection);
    }
    ctx_.ui.setLabelTotalConec(QString::number(ctx_.connections.size()));
}

void LinkEngine::IdTCPServer1Exception(net::Connection&, const std::exception& error) {
    ctx_.ui.setLabelStatus(QString::fromLocal8Bit(error.what()));
}

void LinkEngine::IdTCPServer1Execute(net::Connection& connection) {
    if (!connection.connected())
        return;
    PointTable& t = ctx_.table;
    {
        auto lock = t.lock();
        if (t.caption == kBareCaption) {
            // First contact since start or since a reset: mark the caption with the address the
            // module reached us on; the waiting frame is read by the next call.
            t.caption += QStringLiteral(" - ") + QString::fromStdString(connection.localAddress());
            ctx_.ui.setCaption(t.caption);
            ctx_.ui.stopNoConnectionTimer();
            return;
        }
    }
    if (!connection.waitForData(kWaitMs))
        return;
    if (connection.readByte() != '<') {
        connection.discardInput();
        return;
    }
    // Read without the lock: a slow or silent peer must not hold up the other modules.
    const StatusFrame frame = collectFrame(connection);
    const QString serial = serialNumber(frame);
    connection.discardInput();

    auto lock = t.lock();
    if (++t.cont_vetor > 40) {
        for (int k = 1; k <= 41; ++k)
            t.Vetor_NSRec[static_cast<std::size_t>(k)].clear();
        t.cont_vetor = 1;
    }
    t.Vetor_NSRec[static_cast<std::size_t>(t.cont_vetor)] = serial;
    t.TimerAtualizaGrid_Enabled = true;
    applyStatusFrame(ctx_, frame, serial, connection);
    t.serialOnConnection[&connection] = serial;
    reconcile(ctx_, connection);
}

} // namespace telvara
