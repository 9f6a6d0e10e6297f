#pragma once

#include "SimModel.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <chrono>
#include <optional>
#include <vector>

namespace telvara::modsim {

// One simulated module: its points, the status frame it sends and the command frames it obeys.
// No sockets and no clock of its own: the caller passes the time, so pulses are testable.
//
// Pulse lengths: 01011 and 04006 count tenths of a second, 01012 and 04007 whole seconds, and the
// three-digit time of 02014 counts steps of 25 ms (1/40 s), so that n seconds sent as n x 40 last
// n seconds.
class SimModule {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kTovePulseStep = std::chrono::milliseconds(25);
    static constexpr int kAnalogMax = 9999;

    struct CommandResult {
        enum class Kind {
            Applied,     // a command for this module, carried out
            Idle,        // an idle frame for this module
            OtherModule, // a well-formed frame that names another serial number
            Refused,     // malformed, or a command this model does not have
        };
        Kind kind;
        QString detail; // what was done, or why the frame was refused
    };

    // `serial` is 1 to 5 decimal digits, padded with leading zeros; throws std::invalid_argument
    // otherwise.
    SimModule(const SimModel& model, const QString& serial);

    const SimModel& model() const { return *model_; }
    QString serial() const { return serial_; }

    bool input(int i) const { return inputs_.at(i); }
    void setInput(int i, bool on) { inputs_.at(i) = on; }
    // '1' is ON, anything else OFF, input 1 first; missing characters leave inputs OFF.
    void setInputBits(const QString& bits);
    QString inputBits() const;

    bool output(int i) const { return outputs_.at(i); }
    void setOutput(int i, bool on);
    QString outputBits() const;
    // When the running pulse of output i ends, if one runs.
    std::optional<Clock::time_point> pulseEnd(int i) const { return pulseEnds_.at(i); }

    int analog(int channel) const { return analog_.at(channel); }
    // Raw value 0-9999; values outside are clamped.
    void setAnalog(int channel, int raw);

    // The status frame, from '<' to '>' inclusive.
    QByteArray statusFrame() const;

    // One command frame from '<' to '>' (without CR LF).
    CommandResult applyCommand(const QByteArray& frame, Clock::time_point now);

    // Ends the pulses that are due. True when an output changed.
    bool tick(Clock::time_point now);

private:
    CommandResult applySet01(const QByteArray& f, Clock::time_point now);
    CommandResult applySet02(const QByteArray& f, Clock::time_point now);
    CommandResult applySet04(const QByteArray& f, Clock::time_point now);
    void pulse(int i, Clock::time_point now, Clock::duration length);

    const SimModel* model_;
    QString serial_;
    std::vector<bool> inputs_;
    std::vector<bool> outputs_;
    std::vector<std::optional<Clock::time_point>> pulseEnds_;
    std::array<int, 4> analog_{};
};

} // namespace telvara::modsim
