#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

namespace telvara {

// Help window, opened with F1: the keyboard commands and how to use the grid and the panel.
class TForm_hELP : public QDialog {
    Q_OBJECT
public:
    explicit TForm_hELP(QWidget* parent = nullptr);

    // The text of Memo1, line by line.
    static QStringList helpLines();

    QPlainTextEdit* Memo1 = nullptr;
};

} // namespace telvara
