#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace telvara {

// The splash window Abertura: a logo and "Iniciando..." while the windows are created.
class TAbertura : public QWidget {
    Q_OBJECT
public:
    explicit TAbertura(QWidget* parent = nullptr);

    // The display time is over.
    bool Completed = false;
    QLabel* Label1 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool started_ = false;
};

} // namespace telvara
