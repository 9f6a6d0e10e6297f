#include "records/Form_Totalizador.h"

#include "dialogs/report_grid_view.h"
#include "dialogs/window_placement.h"
#include "records/TotalizerLog.h"

#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace telvara {

TFormTotal::TFormTotal(TotalizerLog& log, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint)
    , log_(log) {
    setObjectName(QStringLiteral("FormTotal"));
    setWindowTitle(log.caption().isEmpty() ? QStringLiteral("Totalizador") : log.caption());
    resize(606, 487);

    StringGrid1 = new QTableView(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    setUpReportGrid(*StringGrid1, log.grid(), {100, 125, 100, 100, 100, 60});

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(70);

    RadioNome = new QRadioButton(QStringLiteral("Nome:"), Panel1);
    RadioNome->setObjectName(QStringLiteral("RadioNome"));
    RadioNome->setChecked(true);
    EditNome = new QLineEdit(Panel1);
    EditNome->setObjectName(QStringLiteral("EditNome"));
    RadioData = new QRadioButton(QStringLiteral("Data:"), Panel1);
    RadioData->setObjectName(QStringLiteral("RadioData"));
    EditDataIni = new QDateEdit(QDate(2017, 5, 15), Panel1);
    EditDataIni->setObjectName(QStringLiteral("EditDataIni"));
    EditDataIni->setCalendarPopup(true);
    EditDataIni->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    Button1 = new QPushButton(QStringLiteral("Filtrar"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Ver todos"), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* b : {Button1, Button2})
        b->setMinimumWidth(100);

    auto* filters = new QGridLayout(Panel1);
    filters->setContentsMargins(12, 6, 12, 6);
    filters->setVerticalSpacing(4);
    filters->addWidget(RadioNome, 0, 0);
    filters->addWidget(EditNome, 0, 1);
    filters->addWidget(Button1, 0, 3);
    filters->addWidget(RadioData, 1, 0);
    filters->addWidget(EditDataIni, 1, 1);
    filters->addWidget(Button2, 1, 3);
    filters->setColumnMinimumWidth(1, 220);
    filters->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(StringGrid1, 1);
    layout->addWidget(Panel1);

    connect(&log, &RecordRing::captionChanged, this, &QWidget::setWindowTitle);
    connect(&log, &RecordRing::selectedRowChanged, this,
            [this](int row) { selectReportRow(*StringGrid1, row); });
}

void TFormTotal::setShortDateFormat(const QString& format) {
    EditDataIni->setDisplayFormat(format);
}

void TFormTotal::showEvent(QShowEvent* event) {
    centreOnScreenOnce(*this);
    QWidget::showEvent(event);
    showReportSelection(*StringGrid1);
}

} // namespace telvara
