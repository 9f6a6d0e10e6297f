#include "dialogs/PasswordDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace telvara {

PasswordDialog::PasswordDialog(const Look& look, Qt::WindowFlags flags, QWidget* parent)
    : QDialog(parent, flags) {
    setWindowTitle(QStringLiteral("SENHA"));
    setFixedSize(222, 184);

    Label1 = new QLabel(look.label, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont labelFont = Label1->font();
    labelFont.setBold(true);
    Label1->setFont(labelFont);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    if (look.maxLength > 0)
        Edit1->setMaxLength(look.maxLength);

    // Enter is the dialogs' own business (key release on the edit), not a default button's.
    Button1 = new QPushButton(QStringLiteral("Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &QDialog::close);
    if (look.withSair) {
        Button2 = new QPushButton(QStringLiteral("Sair"), this);
        Button2->setObjectName(QStringLiteral("Button2"));
        Button2->setAutoDefault(false);
        connect(Button2, &QPushButton::clicked, this, &QDialog::close);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    if (Button2 != nullptr)
        buttons->addWidget(Button2);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 24, 20, 20);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addStretch();
    layout->addLayout(buttons);
}

} // namespace telvara
