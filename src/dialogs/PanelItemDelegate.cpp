#include "dialogs/PanelItemDelegate.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace telvara {

QSize PanelItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {kMarginLeft + kWidth, kMarginTop + kHeight};
}

void PanelItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const QRect box(option.rect.left() + kMarginLeft, option.rect.top() + kMarginTop, kWidth,
                    kHeight);
    const bool alternate = index.row() % 2 == 1;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const bool selectable = index.flags().testFlag(Qt::ItemIsSelectable);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QColor(255, 255, 255, 90));
    QColor fill =
        selected ? QColor(255, 255, 255, 150) : QColor(255, 255, 255, alternate ? 55 : 35);
    painter->setBrush(fill);
    painter->drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);

    int textLeft = box.left() + 8;
    const QPixmap picture = index.data(Qt::DecorationRole).value<QPixmap>();
    if (!picture.isNull()) {
        const int side = kHeight - 10;
        const QPixmap scaled =
            picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter->drawPixmap(box.left() + 5, box.top() + (kHeight - scaled.height()) / 2, scaled);
        textLeft = box.left() + 5 + side + 6;
    }

    const bool checkMark = index.data(CheckMarkRole).toBool();
    const int textRight = box.right() - (checkMark ? 24 : 6);
    const QColor ink = selected ? QColor(0, 30, 90) : QColor(Qt::white);

    QFont nameFont = option.font;
    nameFont.setBold(true);
    painter->setFont(nameFont);
    painter->setPen(selectable ? ink : QColor(220, 230, 255));
    const QRect nameRect(textLeft, box.top() + 4, textRight - textLeft, kHeight / 2 - 2);
    painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(index.data(Qt::DisplayRole).toString(),
                                                        Qt::ElideRight, nameRect.width()));

    QFont detailFont = option.font;
    detailFont.setPointSizeF(detailFont.pointSizeF() * 0.9);
    painter->setFont(detailFont);
    painter->setPen(selected ? QColor(0, 30, 90) : QColor(230, 240, 255));
    const QRect detailRect(textLeft, box.top() + kHeight / 2, textRight - textLeft,
                           kHeight / 2 - 4);
    painter->drawText(detailRect, Qt::AlignLeft | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(index.data(DetailRole).toString(),
                                                        Qt::ElideRight, detailRect.width()));

    if (checkMark) {
        QPainterPath tick;
        const QPointF c(box.right() - 14, box.center().y());
        tick.moveTo(c + QPointF(-6, 0));
        tick.lineTo(c + QPointF(-2, 5));
        tick.lineTo(c + QPointF(6, -6));
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawPath(tick);
    }
    painter->restore();
}

} // namespace telvara
