#include "core/uMain.h"

#include "dialogs/Form_Ajuda.h"
#include "dialogs/Form_MSGAlarme.h"
#include "dialogs/Form_senha.h"
#include "dialogs/Form_senha_apagar.h"
#include "dialogs/Unit_Control.h"
#include "dialogs/Unit_Painel_Botoes.h"
#include "dialogs/Unit_Senha_Comandar.h"
#include "records/Form_Totalizador.h"
#include "records/Registros.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSoundEffect>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace telvara {

namespace {

const QColor kRoyalBlue(0x41, 0x69, 0xE1);

struct ColumnSpec {
    const char* component;
    const char* header;
    int width; // 0: the grid's default
    bool readOnly;
    bool visible;
};

const ColumnSpec kGridColumns[kColumns] = {
    {"ColNumero", "Número", 60, true, true},      {"ColunaIP", "IP", 0, true, true},
    {"ColunaPorta", "Porta", 40, true, true},     {"ColunaModelo", "Modelo", 80, true, true},
    {"ColunaIO", "I/O", 30, true, true},          {"ColunaStLido", "StLido", 50, true, true},
    {"ColunaStCom", "StCom", 50, true, true},     {"ColunaTipo", "Tipo", 105, true, true},
    {"ColunaValor", "Valor", 50, false, true},    {"ColunaNome", "Nome", 125, false, true},
    {"ColunaSenha", "Senha", 75, false, true},    {"ColunaExibir", "EP", 25, false, true},
    {"ColunaEvento", "Evento", 120, false, true}, {"ColunaIniVar", "Param1", 55, false, true},
    {"ColunaFinVar", "Param2", 55, false, true},  {"ColunaIniEsc", "Param3", 55, false, true},
    {"ColunaFinEsc", "Param4", 70, false, true},  {"ColunaSPMin", "ALMin", 55, false, true},
    {"ColunaSPMax", "ALMax", 55, false, true},    {"ColunaValExibidos", "Valor", 75, false, true},
    {"ColunaUnid", "Unid", 45, false, true},      {"ColunaRx1", "Rx1", 30, false, false},
    {"ColunaRx2", "Rx2", 30, false, false},
};

constexpr int kGridRows = 501;

QLabel* picture(const QString& file, int w, int h, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setFixedSize(w, h);
    l->setAlignment(Qt::AlignCenter);
    QPixmap p(file);
    if (!p.isNull())
        l->setPixmap(p.scaled(w, h, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

} // namespace

std::function<void(QWidget*, const QString&)>& TZUW_Mobile::messageHook() {
    static std::function<void(QWidget*, const QString&)> hook = [](QWidget* parent,
                                                                   const QString& text) {
        QMessageBox::information(parent, QString(), text, QMessageBox::Ok);
    };
    return hook;
}

TZUW_Mobile::TZUW_Mobile(const Clock& clock, LocaleFormats formats, QWidget* parent)
    : QWidget(parent)
    , panel_(*this, clock, std::move(formats)) {
    setObjectName(QStringLiteral("ZUW_Mobile"));
    setWindowTitle(kBareCaption);
    setAttribute(Qt::WA_QuitOnClose);
    buildLayout();
    buildTimers();
    sound_ = new QSoundEffect(this);
    if (QFile::exists(QStringLiteral("notify.wav")))
        sound_->setSource(
            QUrl::fromLocalFile(QFileInfo(QStringLiteral("notify.wav")).absoluteFilePath()));
    // FormCreate: the banner shrinks from its design height to 58.
    Rectangle1->setFixedHeight(58);
    resize(944, 540);
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    qApp->installEventFilter(this);
}

TZUW_Mobile::~TZUW_Mobile() {
    qApp->removeEventFilter(this);
}

void TZUW_Mobile::buildLayout() {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kRoyalBlue);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    Rectangle1 = new QFrame(this);
    Rectangle1->setObjectName(QStringLiteral("Rectangle1"));
    Rectangle1->setAutoFillBackground(true);
    Rectangle1->setPalette(pal);
    Rectangle1->setFixedHeight(185);
    auto* banner = new QHBoxLayout(Rectangle1);
    banner->setContentsMargins(0, 0, 10, 0);
    banner->setSpacing(8);

    Label4 = new QLabel(QStringLiteral("●"), Rectangle1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setFixedSize(15, 15);
    Label4->setStyleSheet(QStringLiteral("color: #4169E1;"));
    banner->addWidget(Label4, 0, Qt::AlignTop | Qt::AlignLeft);

    Image2 = picture(QStringLiteral("monitor.png"), 33, 33, Rectangle1);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setEnabled(false);
    banner->addWidget(Image2);

    const QString white = QStringLiteral("color: white;");
    LabelPorta = new QLabel(QStringLiteral("Porta:"), Rectangle1);
    LabelPorta->setStyleSheet(white);
    EditPorta = new QLineEdit(Rectangle1);
    EditPorta->setMaxLength(20);
    EditPorta->setFixedWidth(70);
    Label_IP_Superv = new QLabel(QStringLiteral("IP Superv:"), Rectangle1);
    Label_IP_Superv->setStyleSheet(white);
    EditIPSuperv = new QLineEdit(Rectangle1);
    EditIPSuperv->setFixedWidth(120);
    ButtonPorta = new QPushButton(QStringLiteral("OK"), Rectangle1);
    for (QWidget* w : std::initializer_list<QWidget*>{LabelPorta, EditPorta, Label_IP_Superv,
                                                      EditIPSuperv, ButtonPorta}) {
        banner->addWidget(w);
        w->hide();
    }
    LabelPorta->setObjectName(QStringLiteral("LabelPorta"));
    EditPorta->setObjectName(QStringLiteral("EditPorta"));
    Label_IP_Superv->setObjectName(QStringLiteral("Label_IP_Superv"));
    EditIPSuperv->setObjectName(QStringLiteral("EditIPSuperv"));
    ButtonPorta->setObjectName(QStringLiteral("ButtonPorta"));
    connect(ButtonPorta, &QPushButton::clicked, this, [this] { ButtonPortaClick(); });

    LabelStatus = new QLabel(QStringLiteral("Status:"), Rectangle1);
    LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
    LabelStatus->hide();
    LabelTotalConec = new QLabel(Rectangle1);
    LabelTotalConec->setObjectName(QStringLiteral("LabelTotalConec"));
    LabelTotalConec->hide();

    banner->addStretch(1);
    Image1 = picture(QStringLiteral("sair.png"), 57, 48, Rectangle1);
    Image1->setObjectName(QStringLiteral("Image1"));
    banner->addWidget(Image1);
    root->addWidget(Rectangle1);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    StringGrid1 = new QTableWidget(kGridRows, kColumns, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(12);
    StringGrid1->setFont(arial);
    StringGrid1->horizontalHeader()->setFont(arial);
    StringGrid1->setAlternatingRowColors(true);
    StringGrid1->setShowGrid(true);
    StringGrid1->setTabKeyNavigation(false);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(23);
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    QStringList headers;
    for (int c = 0; c < kColumns; ++c)
        headers << QString::fromUtf8(kGridColumns[c].header);
    StringGrid1->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < kColumns; ++c) {
        if (kGridColumns[c].width > 0)
            StringGrid1->setColumnWidth(c, kGridColumns[c].width);
        StringGrid1->setColumnHidden(c, !kGridColumns[c].visible);
    }
    connect(StringGrid1, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) {
                if (row >= 0 && column >= 0)
                    StringGrid1SelectCell(column, row);
            });
    connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (row == panel_.Linha_sel && column == panel_.Coluna_sel)
            StringGrid1Tap();
    });
    body->addWidget(StringGrid1, 1);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setFont(arial);
    Memo1->setFixedWidth(70);
    Memo1->hide();
    body->addWidget(Memo1);
    root->addLayout(body, 1);
}

void TZUW_Mobile::buildTimers() {
    struct Spec {
        PanelTimer which;
        const char* name;
        int ms;
        void (TZUW_Mobile::*handler)();
    };
    const Spec specs[] = {
        {PanelTimer::TimerRegLog, "TimerRegLog", 500, &TZUW_Mobile::TimerRegLogTimer},
        {PanelTimer::TimerAtualizaGrid, "TimerAtualizaGrid", 4000,
         &TZUW_Mobile::TimerAtualizaGridTimer},
        {PanelTimer::Timer_Carrega_Banco, "Timer_Carrega_Banco", 4500,
         &TZUW_Mobile::Timer_Carrega_BancoTimer},
        {PanelTimer::TimerSuperv, "TimerSuperv", 5000, &TZUW_Mobile::TimerSupervTimer},
        {PanelTimer::TimerOut, "TimerOut", 7500, &TZUW_Mobile::TimerOutTimer},
        {PanelTimer::TimerNinguemConectou, "TimerNinguemConectou", 15000,
         &TZUW_Mobile::TimerNinguemConectouTimer},
        {PanelTimer::TimerRegTot, "TimerRegTot", 1000, &TZUW_Mobile::TimerRegTotTimer},
    };
    for (const auto& s : specs) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(s.name));
        t->setInterval(s.ms);
        connect(t, &QTimer::timeout, this, s.handler);
        t->start();
        timers_[s.which] = t;
    }
}

void TZUW_Mobile::createWindows() {
    windows_.DigitarSenha = new TDigitarSenha;
    windows_.Form_Senha_Apaga = new TForm_Senha_Apaga;
    windows_.Form_hELP = new TForm_hELP;
    windows_.Form_Registros = new TForm_Registros(panel_.eventLog());
    windows_.FormControl = new TFormControl;
    windows_.FormPainel = new TFormPainel;
    windows_.SenhaComandar = new TSenhaComandar;
    windows_.FormAlarme = new TFormAlarme;
    windows_.FormTotal = new TFormTotal(panel_.totalizerLog());
}

QTimer* TZUW_Mobile::timer(PanelTimer which) const {
    return timers_.at(which);
}

void TZUW_Mobile::guarded(const std::function<void()>& step) {
    try {
        step();
        lastError_.clear();
    } catch (const std::exception& e) {
        const QString text = QString::fromUtf8(e.what());
        if (text != lastError_) {
            lastError_ = text;
            ShowMsg(text);
        }
    }
}

void TZUW_Mobile::post(std::function<void()> fn) {
    QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

void TZUW_Mobile::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TZUW_Mobile::FormShow() {
    guarded([this] {
        panel_.FormShow();
        resize(width(), 540);
        if (panel_.Abrir_painel && windows_.FormPainel)
            windows_.FormPainel->show();
    });
}

void TZUW_Mobile::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        FormClose();
    }
    event->accept();
    // The program ends with the main window, whatever other window is still open.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TZUW_Mobile::FormClose() {
    try {
        panel_.FormClose();
    } catch (const std::exception& e) {
        ShowMsg(QString::fromUtf8(e.what()));
    }
    panel_.server().stop();
}

bool TZUW_Mobile::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && QApplication::activeWindow() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat() && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == this) {
            FormKeyUp(key->key());
            return key->key() == Qt::Key_Tab;
        }
    }
    if (event->type() == QEvent::KeyPress && QApplication::activeWindow() == this &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab)
        return true; // Tab opens the totalizer window instead of moving the focus
    if (watched == Rectangle1 && event->type() == QEvent::MouseButtonDblClick)
        Rectangle1DblClick();
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Image1)
            Image1Click();
        else if (watched == Image2 && Image2->isEnabled())
            Image2Click();
    }
    return QWidget::eventFilter(watched, event);
}

void TZUW_Mobile::FormKeyUp(int key) {
    switch (key) {
    case Qt::Key_F1:
        windows_.Form_hELP->show();
        break;
    case Qt::Key_F2:
        windows_.Form_Registros->show();
        break;
    case Qt::Key_F3:
        showMaximized();
        break;
    case Qt::Key_F4:
        showNormal();
        break;
    case Qt::Key_F5:
        showMinimized();
        break;
    case Qt::Key_F6:
        guarded([this] { panel_.manualReset(); });
        break;
    case Qt::Key_F7:
        if (LabelPorta->isVisible()) {
            for (QWidget* w : std::initializer_list<QWidget*>{LabelPorta, Label_IP_Superv,
                                                              EditPorta, EditIPSuperv, ButtonPorta})
                w->hide();
        } else {
            for (QWidget* w : std::initializer_list<QWidget*>{LabelPorta, Label_IP_Superv,
                                                              EditPorta, EditIPSuperv, ButtonPorta})
                w->show();
            guarded([this] {
                const auto f = panel_.portFields();
                EditPorta->setText(f.porta);
                EditIPSuperv->setText(f.ipSuperv);
            });
        }
        break;
    case Qt::Key_F9:
        Memo1->setVisible(!Memo1->isVisible());
        break;
    case Qt::Key_Tab:
        windows_.FormTotal->show();
        break;
    default:
        break;
    }
}

void TZUW_Mobile::Rectangle1DblClick() {
    panel_.Rectangle1DblClick();
}
void TZUW_Mobile::Image1Click() {
    close();
}
void TZUW_Mobile::Image2Click() {
    windows_.FormPainel->show();
}

void TZUW_Mobile::StringGrid1SelectCell(int column, int row) {
    if (panel_.StringGrid1SelectCell(column, row) && windows_.FormControl)
        windows_.FormControl->showForRow(row);
    else if (windows_.FormControl)
        windows_.FormControl->Edit1->setText(QString::number(row));
}

void TZUW_Mobile::StringGrid1Tap() {
    const int column = panel_.Coluna_sel;
    StringGrid1SelectCell(column, panel_.Linha_sel);
}

void TZUW_Mobile::ButtonPortaClick() {
    guarded([this] {
        panel_.ButtonPortaClick(EditPorta->text(), EditIPSuperv->text());
        for (QWidget* w : std::initializer_list<QWidget*>{LabelPorta, Label_IP_Superv, EditPorta,
                                                          EditIPSuperv, ButtonPorta})
            w->hide();
    });
}

void TZUW_Mobile::TimerRegLogTimer() {
    guarded([this] { panel_.TimerRegLogTimer(); });
}

void TZUW_Mobile::TimerRegTotTimer() {
    guarded([this] { panel_.TimerRegTotTimer(); });
}

void TZUW_Mobile::TimerAtualizaGridTimer() {
    const auto snap = panel_.TimerAtualizaGridTimer();
    if (!snap)
        return;
    for (int r = 0; r < static_cast<int>(snap->rows.size()) && r < kGridRows; ++r)
        paintRow(r, snap->rows[static_cast<std::size_t>(r)]);
    paintedRows_ = std::max(paintedRows_, static_cast<int>(snap->rows.size()));
    if (!snap->rows.empty())
        Memo1->setPlainText(snap->memo.join(QLatin1Char('\n')));
    if (windows_.FormPainel)
        windows_.FormPainel->clearSelection();
    StringGrid1->viewport()->update();
}

void TZUW_Mobile::paintRow(int row, const QStringList& cells) {
    for (int c = 0; c < kColumns; ++c) {
        QTableWidgetItem* item = StringGrid1->item(row, c);
        if (!item) {
            item = new QTableWidgetItem;
            if (kGridColumns[c].readOnly)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            StringGrid1->setItem(row, c, item);
        }
        if (item->text() != cells[c])
            item->setText(cells[c]);
    }
}

void TZUW_Mobile::clearGrid() {
    for (int r = 0; r < paintedRows_; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (QTableWidgetItem* item = StringGrid1->item(r, c))
                item->setText(QString());
    paintedRows_ = 0;
}

void TZUW_Mobile::Timer_Carrega_BancoTimer() {
    guarded([this] { panel_.Timer_Carrega_BancoTimer(); });
}

void TZUW_Mobile::TimerOutTimer() {
    guarded([this] { panel_.TimerOutTimer(); });
}

void TZUW_Mobile::TimerNinguemConectouTimer() {
    panel_.TimerNinguemConectouTimer();
}

void TZUW_Mobile::TimerSupervTimer() {
    const SupervTick tick = panel_.TimerSupervTimer();
    if (tick.indicatorChanged)
        Label4->setStyleSheet(tick.indicator == SupervIndicator::White
                                  ? QStringLiteral("color: white;")
                                  : QStringLiteral("color: #4169E1;"));
}

void TZUW_Mobile::setCaption(const QString& caption) {
    post([this, caption] { setWindowTitle(caption); });
}

void TZUW_Mobile::setLabelTotalConec(const QString& text) {
    post([this, text] { LabelTotalConec->setText(text); });
}

void TZUW_Mobile::setLabelStatus(const QString& text) {
    post([this, text] { LabelStatus->setText(text); });
}

void TZUW_Mobile::stopNoConnectionTimer() {
    post([this] { timer(PanelTimer::TimerNinguemConectou)->stop(); });
}

void TZUW_Mobile::showAlarm(const QString& text) {
    post([this, text] {
        if (windows_.FormAlarme && windows_.FormAlarme->showAlarm(text))
            TocarSom();
    });
}

void TZUW_Mobile::TocarSom() {
    post([this] {
        // A missing file or sound device plays nothing and raises nothing.
        if (!sound_->source().isEmpty())
            sound_->play();
    });
}

void TZUW_Mobile::moduleRegistered() {
    post([this] { timer(PanelTimer::Timer_Carrega_Banco)->start(4500); });
}

void TZUW_Mobile::ShowMsg(const QString& text) {
    messageHook()(this, text);
}

void TZUW_Mobile::setTimerInterval(PanelTimer which, int ms) {
    QTimer* t = timer(which);
    if (t->interval() != ms)
        t->setInterval(ms);
}

void TZUW_Mobile::stopTimer(PanelTimer which) {
    timer(which)->stop();
}
void TZUW_Mobile::setImage2Enabled(bool enabled) {
    Image2->setEnabled(enabled);
}

bool TZUW_Mobile::alarmVisible() const {
    return windows_.FormAlarme && windows_.FormAlarme->isVisible();
}

void TZUW_Mobile::bringAlarmToFront() {
    windows_.FormAlarme->bringToFront();
}

bool TZUW_Mobile::formControlActive() const {
    return windows_.FormControl && windows_.FormControl->isActiveWindow();
}

void TZUW_Mobile::closeFormControl() {
    windows_.FormControl->close();
}

} // namespace telvara
