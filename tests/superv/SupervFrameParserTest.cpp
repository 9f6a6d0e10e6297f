#include "SupervFrameParser.h"
#include "SupervFrameFormat.h"
#include "SupervTestRows.h"
#include "superv/SupervFrame.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace telvara;
using Kind = SupervParseEvent::Kind;

namespace {

std::vector<std::array<std::string, 13>> latin1Rows(const std::vector<SupervRow>& rows) {
    std::vector<std::array<std::string, 13>> out;
    for (const auto& row : rows) {
        std::array<std::string, 13> r;
        for (std::size_t c = 0; c < 13; ++c)
            r[c] = toSupervLatin1(row[c]);
        out.push_back(r);
    }
    return out;
}

std::vector<SupervParseEvent> parseAll(std::string_view stream, std::size_t chunk) {
    SupervFrameParser parser;
    std::vector<SupervParseEvent> events;
    for (std::size_t i = 0; i < stream.size(); i += chunk)
        for (auto& e : parser.feed(stream.substr(i, chunk)))
            events.push_back(std::move(e));
    for (auto& e : parser.finish())
        events.push_back(std::move(e));
    return events;
}

std::string kinds(const std::vector<SupervParseEvent>& events) {
    std::string s;
    for (const auto& e : events)
        s += e.kind == Kind::Frame ? (e.frame.crcOk() ? 'F' : 'B')
                                   : (e.kind == Kind::Malformed ? 'M' : 'S');
    return s;
}

} // namespace

// Every frame the panel builds comes back whole, in one piece or byte by byte, with texts that
// hold the frame's own marker bytes.
TEST(SupervFrameParser, RoundTripsBuiltFrames) {
    struct Case {
        const char* name;
        std::vector<SupervRow> rows;
    };
    std::vector<SupervRow> accents(2, test::workedRow());
    accents[0][9] = QStringLiteral("Iluminação");
    accents[1][9] = QStringLiteral("%\x01\x02 & @ $");
    accents[1][12] = QStringLiteral("Conectado%&$");
    const Case cases[] = {
        {"worked", {test::workedRow()}},
        {"no rows", {}},
        {"markers in texts", accents},
        {"over 10000 bytes", test::manyRows(115, 40)},
        {"all cells empty", std::vector<SupervRow>(3)},
    };
    for (const auto& c : cases) {
        const std::string frame = buildSupervFrame(c.rows);
        for (const std::size_t chunk : {frame.size(), std::size_t{1}, std::size_t{7}}) {
            SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
            const auto events = parseAll(frame + frame, chunk);
            ASSERT_EQ("FF", kinds(events));
            for (const auto& e : events) {
                EXPECT_EQ(latin1Rows(c.rows), e.frame.rows);
                EXPECT_EQ(static_cast<int>(c.rows.size()), e.frame.rowCount);
                EXPECT_EQ(frame.size(), e.frame.size);
            }
        }
    }
}

TEST(SupervFrameParser, ResynchronisesAfterBadInput) {
    const std::string good = buildSupervFrame({test::workedRow()});
    std::string badCrc = good;
    badCrc.back() = static_cast<char>(badCrc.back() ^ 0x01);
    std::string badText = good;
    badText[20] = 'X';
    std::string noEnd = good;
    noEnd[noEnd.size() - 3] = 'x';

    struct Case {
        const char* name;
        std::string stream;
        std::string kinds; // F good frame, B bad CRC, M malformed, S skipped bytes
    };
    const Case cases[] = {
        {"garbage before", "noise\r\n" + good, "SF"},
        {"garbage with a start byte", "xx$yz" + good, "SMSF"},
        {"bad CRC", badCrc + good, "BF"},
        {"changed text byte", badText + good, "BF"},
        {"frame cut inside a cell", good.substr(0, 50) + good, "MSF"},
        {"end byte lost", noEnd + good, "MSF"},
        {"no CR after the count", std::string("$\x01X") + good, "MSF"},
        {"wrong first block", std::string("$\x01\r%\x00\x01&") + good, "MSF"},
        {"row count 0 without end byte", std::string("$\x00\r%", 4) + good, "MSF"},
        {"garbage after", good + "tail", "FS"},
        {"stream ends inside a frame", good + good.substr(0, 30), "FMS"},
    };
    for (const auto& c : cases) {
        for (const std::size_t chunk : {c.stream.size(), std::size_t{1}}) {
            SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
            const auto events = parseAll(c.stream, chunk);
            EXPECT_EQ(c.kinds, kinds(events));
            if (kinds(events) == c.kinds && c.kinds.find('F') != std::string::npos) {
                const auto last = c.kinds.rfind('F');
                EXPECT_EQ(latin1Rows({test::workedRow()}), events[last].frame.rows);
            }
        }
    }
}

TEST(SupervFrameParser, GivesUpOnAFrameWithoutEndAtTheLimit) {
    const std::string good = buildSupervFrame({test::workedRow()});
    SupervFrameParser parser(1000);
    auto events = parser.feed(std::string("$\x01\r%\x00\x00&", 7) + std::string(2000, 'A'));
    for (auto& e : parser.feed(good))
        events.push_back(std::move(e));
    EXPECT_EQ("MSF", kinds(events));
    EXPECT_FALSE(parser.inFrame());
}

TEST(SupervFrameFormat, JsonLineDecodesLatin1) {
    std::vector<SupervRow> rows{test::workedRow()};
    rows[0][9] = QStringLiteral("Iluminação \"sala\"\\");
    const auto events = parseAll(buildSupervFrame(rows), 4096);
    ASSERT_EQ("F", kinds(events));

    const std::string line = formatFrameJson(events[0].frame, 3, "127.0.0.1");
    ASSERT_EQ('\n', line.back());
    QJsonParseError error;
    const auto doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    ASSERT_EQ(QJsonParseError::NoError, error.error) << line;
    const QJsonObject o = doc.object();
    EXPECT_EQ(3, o["frame"].toInt());
    EXPECT_TRUE(o["crc_ok"].toBool());
    EXPECT_EQ(1, o["row_count"].toInt());
    const QJsonArray row = o["rows"].toArray()[0].toArray();
    ASSERT_EQ(13, row.size());
    EXPECT_EQ(QStringLiteral("Iluminação \"sala\"\\"), row[9].toString());
    EXPECT_EQ(QStringLiteral("Conectado"), row[12].toString());
    EXPECT_EQ(QString(), row[8].toString());
}
