#include "SimRunner.h"

#include "CommandFrameSplitter.h"
#include "SimModule.h"
#include "link/net/TcpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <random>

namespace telvara::modsim {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The longest a module thread waits for input before looking at the clock and the stop flag.
constexpr milliseconds kWaitSlice{50};
// Bytes read in one go before the next status frame gets its turn, against a flooding panel.
constexpr int kReadBurst = 4096;
constexpr int kAnalogStep = 250;

QString name(const SimModel& m) {
    return QString::fromLatin1(m.name.data(), m.name.size());
}

// Frame bytes for people: printable ASCII as is, the rest as \xNN.
QString printable(const QByteArray& frame) {
    QString s;
    for (char c : frame) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F)
            s += QChar(b);
        else
            s += QString("\\x%1").arg(b, 2, 16, QChar('0'));
    }
    return s;
}

const char* resultName(SimModule::CommandResult::Kind k) {
    switch (k) {
    case SimModule::CommandResult::Kind::Applied:
        return "applied";
    case SimModule::CommandResult::Kind::Idle:
        return "idle";
    case SimModule::CommandResult::Kind::OtherModule:
        return "other";
    case SimModule::CommandResult::Kind::Refused:
        break;
    }
    return "refused";
}

// Input changes and analog values of one module over time.
class Stimulus {
public:
    Stimulus(const SimOptions& o, std::uint32_t seed, SimModule& m, Clock::time_point now)
        : inputs_(o.inputs)
        , analog_(o.analog)
        , rng_(seed)
        , next_(now + milliseconds(o.inputs.periodMs)) {
        if (inputs_.kind == InputMode::Kind::Static)
            m.setInputBits(inputs_.bits);
        if (m.model().analogPos > 0)
            for (int ch = 0; ch < 4; ++ch)
                m.setAnalog(ch, analog_.random ? uniform(0, SimModule::kAnalogMax)
                                               : analog_.values[static_cast<std::size_t>(ch)]);
    }

    // Brings the module's inputs and analog values up to `now`, before a status frame.
    void update(SimModule& m, Clock::time_point now) {
        const int n = m.model().inputs;
        if (inputs_.kind != InputMode::Kind::Static && now >= next_ && n > 0) {
            if (inputs_.kind == InputMode::Kind::Random) {
                for (int i = 0; i < n; ++i)
                    m.setInput(i, uniform(0, 1) == 1);
            } else {
                m.setInput(toggle_, !m.input(toggle_));
                toggle_ = (toggle_ + 1) % n;
            }
            next_ += milliseconds(inputs_.periodMs);
            if (next_ <= now)
                next_ = now + milliseconds(inputs_.periodMs);
        }
        if (analog_.random && m.model().analogPos > 0)
            for (int ch = 0; ch < 4; ++ch)
                m.setAnalog(ch, m.analog(ch) + uniform(-kAnalogStep, kAnalogStep));
    }

private:
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    InputMode inputs_;
    AnalogMode analog_;
    std::mt19937 rng_;
    Clock::time_point next_;
    int toggle_ = 0;
};

} // namespace

SimRunner::SimRunner(SimOptions options, Sink out, Sink err)
    : options_(std::move(options))
    , out_(std::move(out))
    , err_(std::move(err)) {}

SimRunner::~SimRunner() {
    stop();
}

void SimRunner::start() {
    stop();
    stopping_ = false;
    started_ = Clock::now();
    for (std::size_t i = 0; i < options_.modules.size(); ++i)
        threads_.emplace_back([this, i] { runModule(i); });
}

void SimRunner::stop() {
    {
        std::lock_guard g(stopMutex_);
        stopping_ = true;
    }
    stopCv_.notify_all();
    for (auto& t : threads_)
        t.join();
    threads_.clear();
}

bool SimRunner::pause(milliseconds ms) {
    std::unique_lock l(stopMutex_);
    return !stopCv_.wait_for(l, ms, [this] { return stopping_.load(); });
}

void SimRunner::writeLine(const Sink& sink, const QString& line) {
    if (!sink)
        return;
    std::lock_guard g(sinkMutex_);
    sink(line);
}

void SimRunner::runModule(std::size_t index) {
    const ModuleSpec& spec = options_.modules[index];
    SimModule module(*spec.model, spec.serial);
    const QString who = name(*spec.model) + " " + module.serial();
    Stimulus stimulus(options_, options_.seed + static_cast<std::uint32_t>(index), module,
                      Clock::now());
    const QString target =
        QString::fromStdString(options_.host) + ":" + QString::number(options_.port);

    const auto logFrame = [&](const char* dir, const QByteArray& frame, QJsonObject extra) {
        if (!options_.logJson)
            return;
        extra["t_ms"] = static_cast<qint64>(
            std::chrono::duration_cast<milliseconds>(Clock::now() - started_).count());
        extra["dir"] = dir;
        extra["model"] = name(*spec.model);
        extra["serial"] = module.serial();
        extra["frame"] = QString::fromLatin1(frame);
        extra["outputs"] = module.outputBits();
        writeLine(out_, QString::fromUtf8(QJsonDocument(extra).toJson(QJsonDocument::Compact)));
    };

    milliseconds backoff(options_.reconnectMinMs);
    QString lastFailure;
    while (!stopping_) {
        bool wasConnected = false;
        try {
            auto conn = net::connectTcp(options_.host, options_.port, options_.connectTimeoutMs);
            wasConnected = true;
            writeLine(err_, who + ": connected to " + target);
            lastFailure.clear();
            backoff = milliseconds(options_.reconnectMinMs);
            CommandFrameSplitter splitter;
            auto nextFrame = Clock::now();
            while (!stopping_) {
                auto now = Clock::now();
                if (now >= nextFrame) {
                    module.tick(now);
                    stimulus.update(module, now);
                    const QByteArray frame = module.statusFrame();
                    conn->write(std::string_view(frame.constData(), frame.size()));
                    ++framesSent_;
                    QJsonObject o{{"inputs", module.inputBits()}};
                    if (spec.model->analogPos > 0)
                        o["analog"] = QJsonArray{module.analog(0), module.analog(1),
                                                 module.analog(2), module.analog(3)};
                    logFrame("tx", frame, o);
                    nextFrame += milliseconds(options_.intervalMs);
                    if (nextFrame <= now) // late: carry on from now rather than burst
                        nextFrame = now + milliseconds(options_.intervalMs);
                }
                const auto wait =
                    std::clamp(std::chrono::duration_cast<milliseconds>(nextFrame - Clock::now()),
                               milliseconds(0), kWaitSlice);
                if (!conn->waitForData(static_cast<int>(wait.count())))
                    continue;
                for (int n = 0; n < kReadBurst; ++n) {
                    if (auto frame = splitter.feed(static_cast<char>(conn->readByte()))) {
                        const auto r = module.applyCommand(*frame, Clock::now());
                        if (r.kind == SimModule::CommandResult::Kind::Applied)
                            ++commandsApplied_;
                        logFrame("rx", *frame,
                                 QJsonObject{{"result", resultName(r.kind)}, {"detail", r.detail}});
                        if (options_.verbose)
                            writeLine(err_, who + ": " + printable(*frame) + " -> " +
                                                (r.detail == resultName(r.kind)
                                                     ? r.detail
                                                     : resultName(r.kind) + (": " + r.detail)));
                    }
                    if (!conn->waitForData(0))
                        break;
                }
            }
            return;
        } catch (const std::exception& e) {
            const QString failure = QString::fromLocal8Bit(e.what());
            if (wasConnected)
                writeLine(err_, who + ": connection lost: " + failure);
            else if (failure != lastFailure) // a panel that is down is reported once
                writeLine(err_, who + ": " + failure + "; trying again");
            lastFailure = failure;
        }
        if (!pause(backoff))
            return;
        backoff = std::min(backoff * 2, milliseconds(options_.reconnectMaxMs));
    }
}

} // namespace telvara::modsim
