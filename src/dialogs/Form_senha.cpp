#include "dialogs/Form_senha.h"

namespace telvara {

TDigitarSenha::TDigitarSenha(QWidget* parent)
    : PasswordDialog({QStringLiteral("Senha de acesso:"), 12, true},
                     Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint, parent) {
    setObjectName(QStringLiteral("DigitarSenha"));
}

} // namespace telvara
