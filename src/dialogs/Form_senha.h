#pragma once

#include "dialogs/PasswordDialog.h"

namespace telvara {

// Software password dialog: guards clearing "Abrir ao iniciar" on the control panel. Give it the
// main window as parent, so it is centred on it.
class TDigitarSenha : public PasswordDialog {
    Q_OBJECT
public:
    explicit TDigitarSenha(QWidget* parent = nullptr);
};

} // namespace telvara
