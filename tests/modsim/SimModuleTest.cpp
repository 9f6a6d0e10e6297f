#include "SimModule.h"
#include "CommandFrameSplitter.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

using namespace telvara::modsim;
using namespace std::chrono_literals;
using namespace std::string_view_literals;
using Kind = SimModule::CommandResult::Kind;

namespace {

QByteArray bytes(std::string_view s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

SimModule makeModule(const char* model, const char* serial = "00042") {
    const SimModel* m = findSimModel(model);
    if (!m)
        throw std::invalid_argument(model);
    return SimModule(*m, serial);
}

void setOutputs(SimModule& m, const QString& bits) {
    for (int i = 0; i < m.model().outputs; ++i)
        m.setOutput(i, bits[i] == '1');
}

// The panel's side of a status frame: '<', then at most 36 bytes up to '>', and the seven-digit
// serial number picked by the model digit at position 9.
struct PanelView {
    QByteArray positions; // index = position, 1-36
    QByteArray serial;
};

PanelView readLikePanel(const QByteArray& frame) {
    PanelView v{QByteArray(37, '\0'), {}};
    EXPECT_EQ('<', frame[0]);
    for (int pos = 1; pos <= 36 && pos < frame.size(); ++pos) {
        v.positions[pos] = frame[pos];
        if (frame[pos] == '>')
            break;
    }
    const int first = v.positions[9] == '1'   ? 15
                      : v.positions[9] == '2' ? 19
                      : v.positions[9] == '3' ? 29
                      : v.positions[9] == '4' ? 32
                                              : 0;
    if (first > 0)
        v.serial = v.positions.mid(first, 5) + v.positions.mid(9, 2);
    return v;
}

struct FrameCase {
    const char* model;
    const char* serial;
    const char* inputs;
    const char* outputs;
    std::array<int, 4> analog;
    std::string_view expected;
};

const FrameCase kFrames[] = {
    {"VOLK-Lira",
     "12345",
     "1",
     "01",
     {},
     "<VOLKMOD"
     "012"
     "0"
     "\x01"
     "0"
     "\x02"
     "12345>"sv},
    {"VOLK-Orla",
     "7",
     "101",
     "1001",
     {},
     "<VOLKMOD"
     "010"
     "0"
     "\x05"
     "0"
     "\x09"
     "00007>"sv},
    {"VOLK-Sela",
     "99999",
     "0000",
     "0000",
     {},
     "<VOLKMOD"
     "014"
     "0"
     "\x00"
     "0"
     "\x00"
     "99999>"sv},
    {"VOLK-Sela",
     "00001",
     "1111",
     "0110",
     {},
     "<VOLKMOD"
     "014"
     "0"
     "\x0f"
     "0"
     "\x06"
     "00001>"sv},
    {"VOLK-Tove",
     "00042",
     "011",
     "10000001",
     {},
     "<VOLKMOD"
     "020"
     "\x06"
     "\x81"
     "000000"
     "00042>"sv},
    {"VOLK-Unda",
     "31337",
     "1000000000000001",
     "",
     {},
     "<VOLKMOD"
     "030"
     "1000000000000001"
     "00"
     "31337>"sv},
    {"VOLK-Vica",
     "54321",
     "10",
     "011",
     {0, 333, 9999, 42},
     "<VOLKMOD"
     "040"
     "10"
     "01"
     "1"
     "0000"
     "0333"
     "9999"
     "0042"
     "54321>"sv},
};

TEST(SimModuleStatusFrame, EachModelByteExactAndReadableByThePanel) {
    for (const auto& c : kFrames) {
        SCOPED_TRACE(c.model);
        SimModule m = makeModule(c.model, c.serial);
        m.setInputBits(c.inputs);
        setOutputs(m, c.outputs);
        for (int ch = 0; ch < 4; ++ch)
            if (m.model().analogPos > 0)
                m.setAnalog(ch, c.analog[static_cast<std::size_t>(ch)]);
        const QByteArray frame = m.statusFrame();
        EXPECT_EQ(bytes(c.expected).toHex(), frame.toHex());

        const PanelView v = readLikePanel(frame);
        EXPECT_EQ(QByteArray(m.model().code.data(), 3), v.positions.mid(8, 3));
        EXPECT_EQ(m.serial().toLatin1() + QByteArray(m.model().code.data() + 1, 2), v.serial);
    }
}

TEST(SimModuleStatusFrame, AnalogValuesAreClampedToFourDigits) {
    SimModule m = makeModule("vica");
    m.setAnalog(0, -5);
    m.setAnalog(1, 12345);
    EXPECT_EQ("00009999", m.statusFrame().mid(16, 8));
}

struct CommandCase {
    const char* what;
    const char* model;
    const char* outputsBefore;
    std::string_view frame;
    Kind kind;
    const char* outputsAfter;
};

const CommandCase kCommands[] = {
    // command set 01
    {"set all", "orla", "0011",
     "<VOLKZUW010100"
     "0101"
     "00042>"sv,
     Kind::Applied, "0101"},
    {"set all, two outputs", "lira", "00",
     "<VOLKZUW010100"
     "1000"
     "00042>"sv,
     Kind::Applied, "10"},
    {"pulse tenths", "sela", "0000",
     "<VOLKZUW01011"
     "\x05"
     "0100"
     "00042>"sv,
     Kind::Applied, "0100"},
    {"pulse byte '>'", "orla", "0000",
     "<VOLKZUW01012"
     ">"
     "1000"
     "00042>"sv,
     Kind::Applied, "1000"},
    {"mask past outputs", "lira", "00",
     "<VOLKZUW01011"
     "\x05"
     "0010"
     "00042>"sv,
     Kind::Refused, "00"},
    {"empty mask", "orla", "0000",
     "<VOLKZUW01011"
     "\x05"
     "0000"
     "00042>"sv,
     Kind::Refused, "0000"},
    {"state not a bit", "orla", "0000",
     "<VOLKZUW010100"
     "0120"
     "00042>"sv,
     Kind::Refused, "0000"},
    // command set 02
    {"on", "tove", "00000000",
     "<VOLKZUW02012"
     "05"
     "00000"
     "00042>"sv,
     Kind::Applied, "00001000"},
    {"off", "tove", "10000000",
     "<VOLKZUW02013"
     "01"
     "00000"
     "00042>"sv,
     Kind::Applied, "00000000"},
    {"pulse", "tove", "00000000",
     "<VOLKZUW02014"
     "08"
     "200"
     "00"
     "00042>"sv,
     Kind::Applied, "00000001"},
    {"output 09", "tove", "00000000",
     "<VOLKZUW02012"
     "09"
     "00000"
     "00042>"sv,
     Kind::Refused, "00000000"},
    {"output 00", "tove", "00000000",
     "<VOLKZUW02012"
     "00"
     "00000"
     "00042>"sv,
     Kind::Refused, "00000000"},
    {"filler", "tove", "00000000",
     "<VOLKZUW02012"
     "01"
     "00001"
     "00042>"sv,
     Kind::Refused, "00000000"},
    {"pulse time", "tove", "00000000",
     "<VOLKZUW02014"
     "01"
     "20x"
     "00"
     "00042>"sv,
     Kind::Refused, "00000000"},
    // command set 04
    {"on 11", "vica", "000",
     "<VOLKZUW04004"
     "11"
     "0000"
     "00042>"sv,
     Kind::Applied, "001"},
    {"off 02", "vica", "010",
     "<VOLKZUW04005"
     "02"
     "0000"
     "00042>"sv,
     Kind::Applied, "000"},
    {"pulse", "vica", "000",
     "<VOLKZUW04006"
     "01"
     "00"
     "03"
     "00042>"sv,
     Kind::Applied, "100"},
    {"output 03", "vica", "000",
     "<VOLKZUW04004"
     "03"
     "0000"
     "00042>"sv,
     Kind::Refused, "000"},
    {"pulse filler", "vica", "000",
     "<VOLKZUW04007"
     "01"
     "10"
     "03"
     "00042>"sv,
     Kind::Refused, "000"},
    // idle frames
    {"short idle", "orla", "0100",
     "<VOLKZUW9990000000"
     "00042>"sv,
     Kind::Idle, "0100"},
    {"short idle", "unda", "",
     "<VOLKZUW9990000000"
     "00042>"sv,
     Kind::Idle, ""},
    {"long idle", "tove", "00000000",
     "<VOLKZUW999000000000"
     "00042>"sv,
     Kind::Idle, "00000000"},
    {"short idle to tove", "tove", "00000000",
     "<VOLKZUW9990000000"
     "00042>"sv,
     Kind::Refused, "00000000"},
    {"long idle to orla", "orla", "0000",
     "<VOLKZUW999000000000"
     "00042>"sv,
     Kind::Refused, "0000"},
    // other modules and malformed frames
    {"other serial", "orla", "0000",
     "<VOLKZUW010100"
     "1111"
     "00043>"sv,
     Kind::OtherModule, "0000"},
    {"other serial", "tove", "00000000",
     "<VOLKZUW02012"
     "01"
     "00000"
     "00043>"sv,
     Kind::OtherModule, "00000000"},
    {"header", "orla", "0000",
     "<VOLKXYZ010100"
     "1111"
     "00042>"sv,
     Kind::Refused, "0000"},
    {"too long", "orla", "0000",
     "<VOLKZUW010100"
     "11110"
     "00042>"sv,
     Kind::Refused, "0000"},
    {"too short", "orla", "0000", "<VOLKZUW01010>"sv, Kind::Refused, "0000"},
    {"no '>'", "orla", "0000",
     "<VOLKZUW010100"
     "1111"
     "00042x"sv,
     Kind::Refused, "0000"},
    {"unknown code", "orla", "0000",
     "<VOLKZUW05001"
     "11111"
     "00042>"sv,
     Kind::Refused, "0000"},
    {"set 02 to orla", "orla", "0000",
     "<VOLKZUW02012"
     "01"
     "00000"
     "00042>"sv,
     Kind::Refused, "0000"},
    {"set 01 to tove", "tove", "00000000",
     "<VOLKZUW010100"
     "1111"
     "00042>"sv,
     Kind::Refused, "00000000"},
    {"set 01 to unda", "unda", "",
     "<VOLKZUW010100"
     "1111"
     "00042>"sv,
     Kind::Refused, ""},
};

TEST(SimModuleCommand, EveryKindOfFrame) {
    const auto now = SimModule::Clock::now();
    for (const auto& c : kCommands) {
        SCOPED_TRACE(std::string(c.model) + ": " + c.what);
        SimModule m = makeModule(c.model);
        setOutputs(m, c.outputsBefore);
        const auto r = m.applyCommand(bytes(c.frame), now);
        EXPECT_EQ(c.kind, r.kind) << r.detail.toStdString();
        EXPECT_FALSE(r.detail.isEmpty());
        EXPECT_EQ(QString(c.outputsAfter), m.outputBits());
    }
}

struct PulseCase {
    const char* model;
    std::string_view frame;
    int output;
    std::chrono::milliseconds length;
};

const PulseCase kPulses[] = {
    {"orla",
     "<VOLKZUW01011"
     "\x05"
     "0100"
     "00042>"sv,
     1, 500ms},
    {"orla",
     "<VOLKZUW01012"
     "\x05"
     "0100"
     "00042>"sv,
     1, 5000ms},
    {"lira",
     "<VOLKZUW01011"
     "\x0a"
     "1000"
     "00042>"sv,
     0, 1000ms},
    {"tove",
     "<VOLKZUW02014"
     "05"
     "005"
     "00"
     "00042>"sv,
     4, 125ms}, // unit C, PC05
    {"tove",
     "<VOLKZUW02014"
     "05"
     "200"
     "00"
     "00042>"sv,
     4, 5000ms}, // unit L, PL05 = 5 x 40
    {"tove",
     "<VOLKZUW02014"
     "07"
     "024"
     "00"
     "00042>"sv,
     6, 600ms}, // PL07: 280 kept in 8 bits
    {"vica",
     "<VOLKZUW04006"
     "11"
     "00"
     "03"
     "00042>"sv,
     2, 300ms}, // PC03
    {"vica",
     "<VOLKZUW04007"
     "01"
     "00"
     "02"
     "00042>"sv,
     0, 2000ms}, // PL02
};

TEST(SimModuleCommand, PulsesEndAfterTheirLength) {
    const auto t0 = SimModule::Clock::now();
    for (const auto& c : kPulses) {
        SCOPED_TRACE(std::string(c.model) + " " + std::string(c.frame.substr(8, 5)));
        SimModule m = makeModule(c.model);
        ASSERT_EQ(Kind::Applied, m.applyCommand(bytes(c.frame), t0).kind);
        EXPECT_TRUE(m.output(c.output));
        ASSERT_TRUE(m.pulseEnd(c.output));
        EXPECT_EQ(t0 + c.length, *m.pulseEnd(c.output));
        EXPECT_FALSE(m.tick(t0 + c.length - 1ms));
        EXPECT_TRUE(m.output(c.output));
        EXPECT_TRUE(m.tick(t0 + c.length));
        EXPECT_FALSE(m.output(c.output));
        EXPECT_FALSE(m.pulseEnd(c.output));
    }
}

TEST(SimModuleCommand, SwitchCommandCancelsRunningPulse) {
    const auto t0 = SimModule::Clock::now();
    SimModule m = makeModule("tove");
    ASSERT_EQ(Kind::Applied, m.applyCommand("<VOLKZUW02014"
                                            "03"
                                            "040"
                                            "00"
                                            "00042>",
                                            t0)
                                 .kind);
    ASSERT_EQ(Kind::Applied, m.applyCommand("<VOLKZUW02012"
                                            "03"
                                            "00000"
                                            "00042>",
                                            t0 + 100ms)
                                 .kind);
    m.tick(t0 + 2s);
    EXPECT_TRUE(m.output(2));
}

TEST(SimModule, RefusesBadSerialNumbers) {
    const SimModel& orla = *findSimModel("orla");
    for (const char* bad : {"", "123456", "12a45", "-1"})
        EXPECT_THROW(SimModule(orla, bad), std::invalid_argument) << bad;
    EXPECT_EQ("00012", SimModule(orla, "12").serial());
}

TEST(CommandFrameSplitter, CutsByBracketsNotByLines) {
    const auto stream = bytes("<VOLKZUW010100100000042>"     // no CR LF
                              "<VOLKZUW01011>010000042>\r\n" // pulse byte is '>'
                              "xx\r\n"                       // noise between frames
                              "<VOLKZUW01012<010000042>\r\n" // pulse byte is '<'
                              "<VOLK"                        // cut short by the next '<'
                              "<VOLKZUW9990000000"
                              "00042>\r\n"
                              "<0123456789012345678901234567890123456789"sv);
    const std::vector<QByteArray> expected{
        "<VOLKZUW010100100000042>",
        "<VOLKZUW01011>010000042>",
        "<VOLKZUW01012<010000042>",
        "<VOLK",
        "<VOLKZUW999000000000042>",
        "<012345678901234567890123456789012345678", // 40 bytes: handed on as they are
    };
    CommandFrameSplitter s;
    std::vector<QByteArray> frames;
    for (char b : stream)
        if (auto f = s.feed(b))
            frames.push_back(*f);
    EXPECT_EQ(expected, frames);
}

} // namespace
