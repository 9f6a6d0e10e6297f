#include "SimModule.h"

#include <algorithm>
#include <stdexcept>

namespace telvara::modsim {

namespace {

using Result = SimModule::CommandResult;
using Kind = Result::Kind;

// Positions 1-7 of a status frame; the panel does not read them.
constexpr char kStatusHeader[] = "VOLKMOD";
constexpr char kCommandHeader[] = "<VOLKZUW";
constexpr char kShortIdle[] = "<VOLKZUW9990000000";
constexpr char kLongIdle[] = "<VOLKZUW999000000000";

Result refused(const QString& why) {
    return {Kind::Refused, why};
}

bool digits(const QByteArray& s) {
    return !s.isEmpty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool bits(const QByteArray& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == '0' || c == '1'; });
}

QString seconds(std::chrono::milliseconds ms) {
    return QString::number(static_cast<double>(ms.count()) / 1000.0) + " s";
}

} // namespace

SimModule::SimModule(const SimModel& model, const QString& serial)
    : model_(&model)
    , inputs_(static_cast<std::size_t>(model.inputs), false)
    , outputs_(static_cast<std::size_t>(model.outputs), false)
    , pulseEnds_(static_cast<std::size_t>(model.outputs)) {
    const QByteArray s = serial.toLatin1();
    if (s.size() > 5 || !digits(s))
        throw std::invalid_argument("serial number must be 1 to 5 digits: " + serial.toStdString());
    serial_ = serial.rightJustified(5, '0');
}

void SimModule::setInputBits(const QString& bitText) {
    for (std::size_t i = 0; i < inputs_.size(); ++i)
        inputs_[i] = static_cast<qsizetype>(i) < bitText.size() && bitText[i] == '1';
}

QString SimModule::inputBits() const {
    QString s;
    for (bool on : inputs_)
        s += on ? '1' : '0';
    return s;
}

void SimModule::setOutput(int i, bool on) {
    outputs_.at(i) = on;
    pulseEnds_.at(i).reset();
}

QString SimModule::outputBits() const {
    QString s;
    for (bool on : outputs_)
        s += on ? '1' : '0';
    return s;
}

void SimModule::setAnalog(int channel, int raw) {
    analog_.at(channel) = std::clamp(raw, 0, kAnalogMax);
}

QByteArray SimModule::statusFrame() const {
    const SimModel& m = *model_;
    QByteArray f(m.frameLength, '0');
    f[0] = '<';
    f.replace(1, 7, kStatusHeader);
    f.replace(8, 3, QByteArray(m.code.data(), 3));
    if (m.bitFields) {
        unsigned in = 0, out = 0;
        for (std::size_t i = 0; i < inputs_.size(); ++i)
            in |= inputs_[i] ? 1u << i : 0u;
        for (std::size_t i = 0; i < outputs_.size(); ++i)
            out |= outputs_[i] ? 1u << i : 0u;
        f[m.inputPos] = static_cast<char>(in);
        if (m.outputs > 0)
            f[m.outputPos] = static_cast<char>(out);
    } else {
        for (std::size_t i = 0; i < inputs_.size(); ++i)
            f[m.inputPos + static_cast<int>(i)] = inputs_[i] ? '1' : '0';
        for (std::size_t i = 0; i < outputs_.size(); ++i)
            f[m.outputPos + static_cast<int>(i)] = outputs_[i] ? '1' : '0';
    }
    if (m.analogPos > 0)
        for (int ch = 0; ch < 4; ++ch)
            f.replace(m.analogPos + 4 * ch, 4,
                      QByteArray::number(analog_[ch]).rightJustified(4, '0'));
    f.replace(m.serialPos, 5, serial_.toLatin1());
    f[m.frameLength - 1] = '>';
    return f;
}

SimModule::CommandResult SimModule::applyCommand(const QByteArray& f, Clock::time_point now) {
    if (!f.startsWith(kCommandHeader))
        return refused("header is not " + QString(kCommandHeader));
    if (f.size() < 14)
        return refused(QString("frame of %1 bytes is too short").arg(f.size()));

    // Frame positions count from 1 at the '<', so position p is index p - 1.
    const QByteArray code = f.mid(8, 5);
    int length = 0, serialIndex = 0, set = 0;
    const bool idle = code.startsWith("999");
    if (idle) {
        length = f.size() == 26 ? 26 : 24;
        serialIndex = length - 6;
    } else if ((code == "01010" && f[13] == '0') || code == "01011" || code == "01012") {
        length = 24, serialIndex = 18, set = 1;
    } else if (code == "02012" || code == "02013" || code == "02014") {
        length = 26, serialIndex = 20, set = 2;
    } else if (code == "04004" || code == "04005" || code == "04006" || code == "04007") {
        length = 25, serialIndex = 19, set = 4;
    } else {
        return refused("unknown command code " + QString::fromLatin1(code));
    }
    if (f.size() != length)
        return refused(QString("%1 bytes, expected %2").arg(f.size()).arg(length));
    if (f.back() != '>')
        return refused(QString("no '>' at position %1").arg(length));
    const QByteArray serial = f.mid(serialIndex, 5);
    if (serial != serial_.toLatin1())
        return {Kind::OtherModule, "frame for serial number " + QString::fromLatin1(serial)};

    if (idle) {
        const bool longForm = length == 26;
        if (!f.startsWith(longForm ? kLongIdle : kShortIdle))
            return refused("malformed idle frame");
        const bool wantLong = model_->commandSet == 2;
        if (longForm != wantLong)
            return refused(QString(wantLong ? "long" : "short") + " idle frame expected for " +
                           QString::fromLatin1(model_->name.data(), model_->name.size()));
        return {Kind::Idle, "idle"};
    }
    if (set != model_->commandSet)
        return refused(QString("command set 0%1 is not one of ").arg(set) +
                       QString::fromLatin1(model_->name.data(), model_->name.size()));
    switch (set) {
    case 1:
        return applySet01(f, now);
    case 2:
        return applySet02(f, now);
    default:
        return applySet04(f, now);
    }
}

SimModule::CommandResult SimModule::applySet01(const QByteArray& f, Clock::time_point now) {
    const QByteArray field = f.mid(14, 4); // state characters or output mask
    if (!bits(field))
        return refused("positions 15-18 must be '0' or '1': " + QString::fromLatin1(field));
    if (f.mid(8, 6) == "010100") {
        for (int i = 0; i < model_->outputs; ++i)
            setOutput(i, field[i] == '1');
        return {Kind::Applied, "set outputs " + outputBits()};
    }
    const int n = static_cast<unsigned char>(f[13]);
    const bool tenths = f[12] == '1';
    const auto length =
        tenths ? std::chrono::milliseconds(100 * n) : std::chrono::milliseconds(1000 * n);
    QString selected;
    for (int i = 0; i < 4; ++i) {
        if (field[i] != '1')
            continue;
        if (i >= model_->outputs)
            return refused(QString("mask %1 selects output %2 of %3")
                               .arg(QString::fromLatin1(field))
                               .arg(i + 1)
                               .arg(model_->outputs));
        selected += (selected.isEmpty() ? "" : ",") + QString::number(i + 1);
    }
    if (selected.isEmpty())
        return refused("mask 0000 selects no output");
    for (int i = 0; i < 4; ++i)
        if (field[i] == '1')
            pulse(i, now, length);
    return {Kind::Applied, "pulse output " + selected + " for " + seconds(length)};
}

SimModule::CommandResult SimModule::applySet02(const QByteArray& f, Clock::time_point now) {
    const QByteArray number = f.mid(13, 2);
    const int output = digits(number) ? number.toInt() : 0;
    if (output < 1 || output > model_->outputs)
        return refused("no output number " + QString::fromLatin1(number));
    const QByteArray op = f.mid(8, 5);
    if (op == "02014") {
        const QByteArray time = f.mid(15, 3);
        if (!digits(time) || f.mid(18, 2) != "00")
            return refused("malformed pulse time " + QString::fromLatin1(f.mid(15, 5)));
        const auto length = time.toInt() * kTovePulseStep;
        pulse(output - 1, now, length);
        return {Kind::Applied, QString("pulse output %1 for ").arg(output) + seconds(length)};
    }
    if (f.mid(15, 5) != "00000")
        return refused("positions 16-20 must be 00000");
    const bool on = op == "02012";
    setOutput(output - 1, on);
    return {Kind::Applied, QString("output %1 %2").arg(output).arg(on ? "ON" : "OFF")};
}

SimModule::CommandResult SimModule::applySet04(const QByteArray& f, Clock::time_point now) {
    const QByteArray number = f.mid(13, 2);
    const int index = number == "01" ? 0 : number == "02" ? 1 : number == "11" ? 2 : -1;
    if (index < 0)
        return refused("no output number " + QString::fromLatin1(number));
    const QByteArray op = f.mid(8, 5);
    const QByteArray tail = f.mid(15, 4);
    if (op == "04006" || op == "04007") {
        if (!tail.startsWith("00") || !digits(tail.mid(2)))
            return refused("malformed pulse length " + QString::fromLatin1(tail));
        const int n = tail.mid(2).toInt();
        const auto length = op == "04006" ? std::chrono::milliseconds(100 * n)
                                          : std::chrono::milliseconds(1000 * n);
        pulse(index, now, length);
        return {Kind::Applied,
                "pulse output " + QString::fromLatin1(number) + " for " + seconds(length)};
    }
    if (tail != "0000")
        return refused("positions 16-19 must be 0000");
    const bool on = op == "04004";
    setOutput(index, on);
    return {Kind::Applied, "output " + QString::fromLatin1(number) + (on ? " ON" : " OFF")};
}

void SimModule::pulse(int i, Clock::time_point now, Clock::duration length) {
    outputs_.at(i) = true;
    pulseEnds_.at(i) = now + length;
}

bool SimModule::tick(Clock::time_point now) {
    bool changed = false;
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        if (pulseEnds_[i] && *pulseEnds_[i] <= now) {
            pulseEnds_[i].reset();
            changed = changed || outputs_[i];
            outputs_[i] = false;
        }
    }
    return changed;
}

} // namespace telvara::modsim
