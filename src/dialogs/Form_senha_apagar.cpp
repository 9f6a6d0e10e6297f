#include "dialogs/Form_senha_apagar.h"

namespace telvara {

TForm_Senha_Apaga::TForm_Senha_Apaga(QWidget* parent)
    : PasswordDialog({QStringLiteral("Senha:"), 0, false},
                     Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint, parent) {
    setObjectName(QStringLiteral("Form_Senha_Apaga"));
}

} // namespace telvara
