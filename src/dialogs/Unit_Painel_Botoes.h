#pragma once

#include <QString>
#include <QWidget>

#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPaintEvent;
class QShowEvent;

namespace telvara {

// Custom control panel: one item per point marked "Exibir no painel", laid out in columns.
class TFormPainel : public QWidget {
    Q_OBJECT
public:
    struct Item {
        QString text;    // the point name
        QString detail;  // the line below the name
        QString picture; // bare file name; none when empty or missing
        QString key;     // Ns followed by NumeroIO
        bool checkMark = false;
        bool selectable = true;
    };

    explicit TFormPainel(QWidget* parent = nullptr);

    // Replaces the list; it keeps itself sorted by item text.
    void setItems(const std::vector<Item>& items);
    // By position in the (sorted) list; out-of-range positions are ignored.
    void setItemDetail(int index, const QString& detail);
    void setItemPicture(int index, const QString& fileName);
    // Leaves no item selected (after each refresh of the pictures).
    void clearSelection();

    QLabel* Label1 = nullptr; // legend and status line
    QListWidget* ListBox1 = nullptr;
    QCheckBox* CheckBoxIni = nullptr; // "Abrir ao iniciar"

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

} // namespace telvara
