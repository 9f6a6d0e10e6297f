#include "dialogs/Form_Ajuda.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace telvara {

QStringList TForm_hELP::helpLines() {
    return {
        QString(),
        QStringLiteral("    F1 - Abre a tela de ajuda."),
        QStringLiteral("    F2 - Abre a tela de registros."),
        QStringLiteral("    F3 - Coloca o painel em modo de exibição maximizado."),
        QStringLiteral("    F4 - Coloca o painel em modo de exibição normal."),
        QStringLiteral("    F5 - Coloca o painel em modo de exibição minimizado."),
        QStringLiteral("    F6 - Atualiza a exibição dos módulos na grade."),
        QStringLiteral("    F7 - Permite a troca da porta utilizada e o ajuste do IP onde está "
                       "localizado o software supervisório."),
        QStringLiteral("    "),
        QStringLiteral("    - Clique sobre o ícone de monitor no topo do programa para abrir o "
                       "painel personalizado. Se este painel for selecionado para abrir ao início "
                       "do programa, a grade não será exibida. Para remover esta seleção será "
                       "solicitado a senha informada no momento em que o programa foi instalado."),
        QString(),
        QStringLiteral("    - Clique sobre cada um dos dispositivos exibidos na grade para:"),
        QString(),
        QStringLiteral("        . Editá-los."),
        QStringLiteral("        . Comandá-los individualmente."),
        QStringLiteral("        . Inserir uma senha de comando (será solicitada para permitir "
                       "comando da saída através do painel personalizado)."),
        QStringLiteral("        . Habilitá-los para serem exibidos no painel personalizado. Este "
                       "painel permitirá o comando das saídas e monitoração do estado das "
                       "entradas e saídas de cada dispositivo selecionado."),
    };
}

TForm_hELP::TForm_hELP(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form_hELP"));
    setWindowTitle(QStringLiteral("AJUDA"));
    resize(565, 450);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->setPlainText(helpLines().join(QLatin1Char('\n')));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

} // namespace telvara
