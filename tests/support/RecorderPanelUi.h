#pragma once

#include "points/PanelUi.h"
#include "support/RecorderUi.h"

#include <map>

namespace telvara::test {

// Records what the main window's handlers asked of the window.
class RecorderPanelUi : public PanelUi {
public:
    RecorderUi port; // the calls that may come from connection threads

    void setCaption(const QString& c) override { port.setCaption(c); }
    void setLabelTotalConec(const QString& t) override { port.setLabelTotalConec(t); }
    void setLabelStatus(const QString& t) override { port.setLabelStatus(t); }
    void stopNoConnectionTimer() override { port.stopNoConnectionTimer(); }
    void showAlarm(const QString& text) override { port.showAlarm(text); }
    void TocarSom() override { port.TocarSom(); }
    void moduleRegistered() override { port.moduleRegistered(); }

    void ShowMsg(const QString& text) override { messages << text; }
    void setTimerInterval(PanelTimer t, int ms) override { intervals[t] = ms; }
    void stopTimer(PanelTimer t) override { stopped[t] = true; }
    void setImage2Enabled(bool e) override { image2Enabled = e; }
    void clearGrid() override { ++gridClears; }
    bool alarmVisible() const override { return alarmShown; }
    void bringAlarmToFront() override { ++alarmRaised; }
    bool formControlActive() const override { return formControlOpen; }
    void closeFormControl() override { formControlOpen = false; }

    QStringList messages;
    std::map<PanelTimer, int> intervals;
    std::map<PanelTimer, bool> stopped;
    bool image2Enabled = false;
    int gridClears = 0;
    bool alarmShown = false;
    int alarmRaised = 0;
    bool formControlOpen = false;
};

} // namespace telvara::test
