#include "dialogs/Form_MSGAlarme.h"

#include "dialogs/window_placement.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace telvara {

TFormAlarme::TFormAlarme(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FormAlarme"));
    setWindowTitle(QStringLiteral("ALARME"));
    setFixedSize(394, 144);

    Label1 = new QLabel(QStringLiteral("ALARME"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    QFont font = Label1->font();
    font.setBold(true);
    font.setPointSize(13);
    Label1->setFont(font);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(palette);

    Button1 = new QPushButton(QStringLiteral("FECHAR"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    Button1->setMinimumWidth(100);
    connect(Button1, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(Label1, 1);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
}

bool TFormAlarme::showAlarm(const QString& text) {
    Label1->setText(text);
    centreOnScreen(*this);
    if (isVisible())
        return false;
    show();
    return true;
}

void TFormAlarme::bringToFront() {
    if (!isVisible())
        return;
    raise();
    activateWindow();
}

} // namespace telvara
