#include "dialogs/Unit_Control.h"

#include "dialogs/window_placement.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace telvara {

namespace {

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* navyLabel(QWidget* parent, const char* name, const QString& text,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = named(new QLabel(text, parent), name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    label->setPalette(palette);
    label->setAlignment(alignment);
    return label;
}

// The point kind decides which of these are shown; the others must not move when they come and go.
void keepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

TFormControl::TFormControl(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FormControl"));
    setWindowTitle(QStringLiteral("Configurações"));
    setFixedSize(250, 500);

    Edit1 = named(new QLineEdit(this), "Edit1");
    Edit1->hide();

    LabelIP = navyLabel(this, "LabelIP", QStringLiteral("IP: "));
    LabelModelo = navyLabel(this, "LabelModelo", QString(), Qt::AlignRight | Qt::AlignVCenter);
    LabelNs = navyLabel(this, "LabelNs", QStringLiteral("Ns: "));
    LabelIO =
        navyLabel(this, "LabelIO", QStringLiteral("I/O: "), Qt::AlignRight | Qt::AlignVCenter);

    LabelStatus = named(new QLabel(QStringLiteral("Status: "), this), "LabelStatus");
    QFont bold = LabelStatus->font();
    bold.setBold(true);
    LabelStatus->setFont(bold);

    Label1 = named(new QLabel(QStringLiteral("Aguarde..."), this), "Label1");
    QFont small = Label1->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    Label1->setFont(small);
    QPalette grey = Label1->palette();
    grey.setColor(QPalette::WindowText, Qt::gray);
    Label1->setPalette(grey);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    keepPlaceWhenHidden(Label1);
    Label1->hide();

    ButtonComando = named(new QPushButton(QStringLiteral("ON/OFF"), this), "ButtonComando");
    keepPlaceWhenHidden(ButtonComando);

    CheckBox1 = named(new QCheckBox(QStringLiteral("Exibir no painel"), this), "CheckBox1");
    CheckBox2 = named(new QCheckBox(QStringLiteral("Pulso"), this), "CheckBox2");
    CheckBoxSomEnt = named(new QCheckBox(QStringLiteral("Som"), this), "CheckBoxSomEnt");
    CheckBoxSomEnt->hide();
    EditTp = named(new QLineEdit(this), "EditTp");
    EditTp->setMaxLength(3);
    EditTp->setAlignment(Qt::AlignCenter);
    EditTp->setFixedWidth(40);
    LabelTp = named(new QLabel(QStringLiteral("seg"), this), "LabelTp");
    keepPlaceWhenHidden(EditTp);
    keepPlaceWhenHidden(LabelTp);
    EditTp->hide();
    LabelTp->hide();

    LabelNovoNome = named(new QLabel(QStringLiteral("Novo nome:"), this), "LabelNovoNome");
    EditNovoNome = named(new QLineEdit(this), "EditNovoNome");
    EditNovoNome->setMaxLength(22);
    LabelSenha = named(new QLabel(QStringLiteral("Senha:"), this), "LabelSenha");
    EditSenha = named(new QLineEdit(this), "EditSenha");
    EditSenha->setMaxLength(10);

    Label2 = named(new QLabel(QStringLiteral("Parametro 1"), this), "Label2");
    Label3 = named(new QLabel(QStringLiteral("Parametro 2"), this), "Label3");
    Label4 = named(new QLabel(QStringLiteral("Parametro 3"), this), "Label4");
    Label5 = named(new QLabel(QStringLiteral("Parametro 4"), this), "Label5");
    EditParam1 = named(new QLineEdit(this), "EditParam1");
    EditParam2 = named(new QLineEdit(this), "EditParam2");
    EditParam3 = named(new QLineEdit(this), "EditParam3");
    EditParam4 = named(new QLineEdit(this), "EditParam4");
    Label6 = named(new QLabel(QStringLiteral("Alarme Min"), this), "Label6");
    EditALMin = named(new QLineEdit(this), "EditALMin");
    Label7 = named(new QLabel(QStringLiteral("Alarme Máx"), this), "Label7");
    EditALMax = named(new QLineEdit(this), "EditALMax");
    Label8 = named(new QLabel(QStringLiteral("Unidade"), this), "Label8");
    EditUnid = named(new QLineEdit(this), "EditUnid");

    BotaoGravar = named(new QPushButton(QStringLiteral("Gravar"), this), "BotaoGravar");
    BotaoSair = named(new QPushButton(QStringLiteral("Sair"), this), "BotaoSair");
    for (QPushButton* b : {ButtonComando, BotaoGravar, BotaoSair})
        b->setAutoDefault(false);
    connect(BotaoGravar, &QPushButton::clicked, this, &QDialog::close);
    connect(BotaoSair, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(6);

    auto* header = new QGridLayout;
    header->setVerticalSpacing(2);
    header->addWidget(LabelIP, 0, 0);
    header->addWidget(LabelModelo, 0, 1);
    header->addWidget(LabelNs, 1, 0);
    header->addWidget(LabelIO, 1, 1);
    header->addWidget(LabelStatus, 2, 0);
    header->addWidget(Label1, 2, 1);
    layout->addLayout(header);

    layout->addWidget(ButtonComando);
    layout->addWidget(CheckBox1);
    auto* pulse = new QHBoxLayout;
    pulse->addWidget(CheckBox2);
    pulse->addWidget(CheckBoxSomEnt);
    pulse->addStretch();
    pulse->addWidget(EditTp);
    pulse->addWidget(LabelTp);
    layout->addLayout(pulse);

    auto* fields = new QGridLayout;
    fields->setVerticalSpacing(5);
    const std::pair<QLabel*, QLineEdit*> rows[] = {
        {LabelNovoNome, EditNovoNome}, {LabelSenha, EditSenha}, {Label2, EditParam1},
        {Label3, EditParam2},          {Label4, EditParam3},    {Label5, EditParam4},
        {Label6, EditALMin},           {Label7, EditALMax},     {Label8, EditUnid}};
    int r = 0;
    for (const auto& [label, edit] : rows) {
        fields->addWidget(label, r, 0);
        fields->addWidget(edit, r, 1);
        ++r;
    }
    fields->setColumnStretch(1, 1);
    layout->addLayout(fields);
    layout->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BotaoGravar);
    buttons->addWidget(BotaoSair);
    layout->addLayout(buttons);

    setTabOrder(EditNovoNome, EditSenha);
}

void TFormControl::showForRow(int row) {
    Edit1->setText(QString::number(row));
    show();
    raise();
    activateWindow();
}

void TFormControl::showEvent(QShowEvent* event) {
    centreOnScreenOnce(*this);
    QDialog::showEvent(event);
}

} // namespace telvara
