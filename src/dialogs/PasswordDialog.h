#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace telvara {

// The look the three password dialogs share: caption "SENHA", 222 x 184, a label, the masked edit
// Edit1 and "Ok" with or without "Sair".
class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr; // "Ok"
    QPushButton* Button2 = nullptr; // "Sair"; null where the dialog has none

protected:
    struct Look {
        QString label;
        int maxLength; // 0: no limit
        bool withSair;
    };
    PasswordDialog(const Look& look, Qt::WindowFlags flags, QWidget* parent);
};

} // namespace telvara
