#pragma once

#include "dialogs/PasswordDialog.h"

class QShowEvent;

namespace telvara {

// Command password dialog: guards a command from the control panel to an output that has a
// command password. Centred on the screen.
class TSenhaComandar : public PasswordDialog {
    Q_OBJECT
public:
    explicit TSenhaComandar(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace telvara
