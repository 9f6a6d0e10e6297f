#pragma once

#include "dialogs/PasswordDialog.h"

namespace telvara {

// Erase password dialog: shown modally by "Apagar" of the event report window, which is its
// owner (parent) and is centred on it.
class TForm_Senha_Apaga : public PasswordDialog {
    Q_OBJECT
public:
    explicit TForm_Senha_Apaga(QWidget* parent = nullptr);
};

} // namespace telvara
