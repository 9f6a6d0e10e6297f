#pragma once

#include "link/ModuleServer.h"
#include "points/PanelUi.h"

namespace telvara {

// TimerOutTimer: one supervision pass. Marks rows whose frame counter did not move as
// "Desconectado", raises a connection event for the first row of each module whose state
// changed, and after five passes in a row with a silent row stops the server and resets the
// table (the next grid tick starts the server again). Returns true when it reset.
bool superviseConnections(PointTable& table, ModuleServer& server, PanelUi& ui,
                          int& Contador_refresh);

// TimerNinguemConectouTimer: the one-time warning that no module has made contact.
void warnNoConnection(PointTable& table, PanelUi& ui);

inline const QString kNoConnectionWarning = QStringLiteral(
    "Ceritfique-se que os módulos instalados na rede estejam configurados como Cliente, em modo "
    "DHCP e com o parâmetro Ip/Domínio do servidor igual ao Ip ou domínio deste computador. ");

} // namespace telvara
