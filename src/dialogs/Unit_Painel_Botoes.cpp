#include "dialogs/Unit_Painel_Botoes.h"

#include "dialogs/PanelItemDelegate.h"
#include "dialogs/window_placement.h"

#include <QCheckBox>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace telvara {

TFormPainel::TFormPainel(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FormPainel"));
    setWindowTitle(QStringLiteral("Telvara - Controle e Monitoramento"));
    resize(640, 570);

    QPalette white = palette();
    white.setColor(QPalette::WindowText, Qt::white);

    Label1 = new QLabel(QStringLiteral("Azul: ENTRADA    Verde: SAÍDA"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setPalette(white);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->setFixedHeight(22);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setItemDelegate(new PanelItemDelegate(ListBox1));
    // Items run down a column, then on to the next one.
    ListBox1->setViewMode(QListView::ListMode);
    ListBox1->setFlow(QListView::TopToBottom);
    ListBox1->setWrapping(true);
    ListBox1->setResizeMode(QListView::Adjust);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setSpacing(0);
    ListBox1->setSortingEnabled(true);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setFrameShape(QFrame::NoFrame);
    // Ten items a column: the window is made as wide as the columns need (212 each), so no
    // scroll bar takes room from the tenth item.
    ListBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox1->viewport()->setAutoFillBackground(false);
    ListBox1->setAutoFillBackground(false);
    ListBox1->setAttribute(Qt::WA_TranslucentBackground);
    ListBox1->setStyleSheet(QStringLiteral("QListWidget { background: transparent; }"));

    CheckBoxIni = new QCheckBox(QStringLiteral("Abrir ao iniciar"), this);
    CheckBoxIni->setObjectName(QStringLiteral("CheckBoxIni"));
    CheckBoxIni->setPalette(white);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(0);
    layout->addWidget(Label1);
    layout->addWidget(ListBox1, 1);
    layout->addWidget(CheckBoxIni);
}

void TFormPainel::setItems(const std::vector<Item>& items) {
    ListBox1->clear();
    for (const Item& it : items) {
        auto* item = new QListWidgetItem(it.text);
        item->setData(PanelItemDelegate::DetailRole, it.detail);
        item->setData(PanelItemDelegate::KeyRole, it.key);
        item->setData(PanelItemDelegate::CheckMarkRole, it.checkMark);
        item->setData(PanelItemDelegate::PictureRole, it.picture);
        if (!it.picture.isEmpty())
            item->setData(Qt::DecorationRole, QPixmap(it.picture));
        item->setFlags(it.selectable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                                     : Qt::ItemIsEnabled);
        ListBox1->addItem(item);
    }
}

void TFormPainel::setItemDetail(int index, const QString& detail) {
    if (QListWidgetItem* item = ListBox1->item(index))
        item->setData(PanelItemDelegate::DetailRole, detail);
}

void TFormPainel::setItemPicture(int index, const QString& fileName) {
    QListWidgetItem* item = ListBox1->item(index);
    if (item == nullptr || item->data(PanelItemDelegate::PictureRole).toString() == fileName)
        return;
    item->setData(PanelItemDelegate::PictureRole, fileName);
    item->setData(Qt::DecorationRole, fileName.isEmpty() ? QPixmap() : QPixmap(fileName));
}

void TFormPainel::clearSelection() {
    ListBox1->clearSelection();
    ListBox1->setCurrentItem(nullptr);
}

void TFormPainel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0.0, QColor(10, 40, 120));
    gradient.setColorAt(1.0, QColor(60, 120, 210));
    painter.fillRect(rect(), gradient);
}

void TFormPainel::showEvent(QShowEvent* event) {
    centreOnScreenOnce(*this);
    QWidget::showEvent(event);
}

} // namespace telvara
