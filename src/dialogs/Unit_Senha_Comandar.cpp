#include "dialogs/Unit_Senha_Comandar.h"

#include "dialogs/window_placement.h"

namespace telvara {

TSenhaComandar::TSenhaComandar(QWidget* parent)
    : PasswordDialog({QStringLiteral("Senha para comando:"), 12, true},
                     Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                         Qt::WindowCloseButtonHint,
                     parent) {
    setObjectName(QStringLiteral("SenhaComandar"));
}

void TSenhaComandar::showEvent(QShowEvent* event) {
    centreOnScreenOnce(*this);
    PasswordDialog::showEvent(event);
}

} // namespace telvara
