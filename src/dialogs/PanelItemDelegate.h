#pragma once

#include <QStyledItemDelegate>

namespace telvara {

// Draws an item of the control panel's list: the picture on the left, the point name with its
// detail line below, and a check mark on the right for points without a command password.
class PanelItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Item data roles besides the text (DisplayRole) and the picture (DecorationRole).
    static constexpr int DetailRole = Qt::UserRole + 1;
    static constexpr int KeyRole = Qt::UserRole + 2;
    static constexpr int CheckMarkRole = Qt::UserRole + 3;
    static constexpr int PictureRole = Qt::UserRole + 4; // the picture's file name

    // An item is 200 x 50, 2 below the one above it and 5 right of the list's edge.
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 50;
    static constexpr int kMarginTop = 2;
    static constexpr int kMarginLeft = 5;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace telvara
