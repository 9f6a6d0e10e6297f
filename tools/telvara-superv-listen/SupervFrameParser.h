#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace telvara {

// One supervisory frame as received: the cell texts are the frame's Latin-1 bytes.
struct ReceivedSupervFrame {
    static constexpr int kColumns = 13;

    int rowCount = 0; // the row-count byte
    std::vector<std::array<std::string, kColumns>> rows;
    std::uint16_t crcReceived = 0;
    std::uint16_t crcComputed = 0;
    std::size_t size = 0; // bytes from the start byte through the CRC

    bool crcOk() const { return crcReceived == crcComputed; }
};

struct SupervParseEvent {
    enum class Kind {
        Frame,     // a complete frame, with a good or a bad CRC
        Malformed, // a frame broke its block structure; parsing resumed after its start byte
        Skipped,   // bytes outside any frame were dropped before a start byte
    };
    Kind kind = Kind::Frame;
    ReceivedSupervFrame frame;
    std::string message;
};

// Splits a byte stream into supervisory frames. Cell texts carry no length, so a text ends only
// where the header of the next expected cell ("%", row, column, "&") or, after the last cell, the
// end byte "@" begins. A header for any other cell, a wrong byte where the structure is fixed or a
// frame longer than the limit is malformed: the frame is dropped and its bytes after the start
// byte are parsed again, so a real frame that began inside it is not lost.
class SupervFrameParser {
public:
    static constexpr std::size_t kDefaultMaxFrameBytes = 1 << 20;

    explicit SupervFrameParser(std::size_t maxFrameBytes = kDefaultMaxFrameBytes);

    std::vector<SupervParseEvent> feed(std::string_view bytes);
    // End of the stream: a frame left unfinished is reported as malformed and forgotten.
    std::vector<SupervParseEvent> finish();

    bool inFrame() const { return state_ != State::Hunt; }

private:
    enum class State { Hunt, Count, Separator, FirstHeader, EmptyEnd, Text, Crc0, Crc1 };

    void step(char byte, std::vector<SupervParseEvent>& out);
    void malformed(std::string message, std::vector<SupervParseEvent>& out);
    bool lastCell() const;
    void advanceCell();
    std::string header(int row, int column) const;

    std::size_t maxFrameBytes_;
    std::string in_;
    std::size_t pos_ = 0;

    State state_ = State::Hunt;
    std::size_t skipped_ = 0;
    std::string raw_; // bytes of the current frame from its start byte
    std::size_t headerPos_ = 0;
    int row_ = 0;
    int column_ = 0;
    std::string text_;
    ReceivedSupervFrame frame_;
};

// Latin-1 bytes to UTF-8 (every byte is a character of the same code).
std::string latin1ToUtf8(std::string_view latin1);

} // namespace telvara
