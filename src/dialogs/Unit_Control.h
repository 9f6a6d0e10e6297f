#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace telvara {

// Point configuration dialog: edits one row of the point table, whose number the opener puts into
// the hidden Edit1.
class TFormControl : public QDialog {
    Q_OBJECT
public:
    explicit TFormControl(QWidget* parent = nullptr);

    // Opener (main grid): Edit1 := the row as decimal text, then show, not modal.
    void showForRow(int row);

    QLineEdit* Edit1 = nullptr; // hidden: the row number
    QLabel* LabelIP = nullptr;
    QLabel* LabelModelo = nullptr;
    QLabel* LabelNs = nullptr;
    QLabel* LabelIO = nullptr;
    QLabel* Label1 = nullptr; // "Aguarde..."
    QLabel* LabelStatus = nullptr;
    QPushButton* ButtonComando = nullptr;
    QCheckBox* CheckBox1 = nullptr;      // "Exibir no painel"
    QCheckBox* CheckBox2 = nullptr;      // "Pulso"
    QCheckBox* CheckBoxSomEnt = nullptr; // "Som", in the place of "Pulso"
    QLineEdit* EditTp = nullptr;
    QLabel* LabelTp = nullptr;
    QLabel* LabelNovoNome = nullptr;
    QLineEdit* EditNovoNome = nullptr;
    QLabel* LabelSenha = nullptr;
    QLineEdit* EditSenha = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* EditParam1 = nullptr;
    QLineEdit* EditParam2 = nullptr;
    QLineEdit* EditParam3 = nullptr;
    QLineEdit* EditParam4 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* EditALMin = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* EditALMax = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* EditUnid = nullptr;
    QPushButton* BotaoGravar = nullptr;
    QPushButton* BotaoSair = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace telvara
