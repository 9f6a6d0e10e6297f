#include "records/Registros.h"

#include "dialogs/report_grid_view.h"
#include "dialogs/window_placement.h"
#include "records/EventLog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace telvara {

TForm_Registros::TForm_Registros(EventLog& log, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint)
    , log_(log) {
    setObjectName(QStringLiteral("Form_Registros"));
    setWindowTitle(log.caption().isEmpty() ? QStringLiteral("Relatório de Eventos")
                                           : log.caption());
    resize(776, 568);

    StringGrid1 = new QTableView(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    setUpReportGrid(*StringGrid1, log.grid(), {50, 110, 55, 140, 100, 70, 80, 65, 90});

    Button2 = new QPushButton(QStringLiteral("Salvar"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button1 = new QPushButton(QStringLiteral("Apagar"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button3 = new QPushButton(QStringLiteral("Sair"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    for (QPushButton* b : {Button2, Button1, Button3})
        b->setMinimumSize(100, 30);
    connect(Button3, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(16, 0, 16, 0);
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    buttons->addStretch();
    buttons->addWidget(Button3);

    // The grid is 500 high at the design size and takes whatever the window gains.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(StringGrid1, 1);
    auto* bottom = new QWidget(this);
    bottom->setFixedHeight(68);
    bottom->setLayout(buttons);
    layout->addWidget(bottom);

    connect(&log, &RecordRing::captionChanged, this, &QWidget::setWindowTitle);
    connect(&log, &RecordRing::selectedRowChanged, this,
            [this](int row) { selectReportRow(*StringGrid1, row); });
}

void TForm_Registros::showEvent(QShowEvent* event) {
    centreOnScreenOnce(*this);
    QWidget::showEvent(event);
    showReportSelection(*StringGrid1);
}

} // namespace telvara
