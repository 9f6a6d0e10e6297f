#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace telvara {

// Alarm pop-up: shows the last analog alarm until the operator closes it.
class TFormAlarme : public QDialog {
    Q_OBJECT
public:
    explicit TFormAlarme(QWidget* parent = nullptr);

    // User-interface thread. Puts the alarm text into Label1 and centres the pop-up on the
    // desktop; shows it when it is hidden. Returns true when it was shown now, which is when the
    // caller sounds the alarm; while it stays open later alarms only change text and position.
    bool showAlarm(const QString& text);

    // Shows the open pop-up again in front of the other windows; does nothing while it is hidden.
    void bringToFront();

    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr; // "FECHAR"
};

} // namespace telvara
