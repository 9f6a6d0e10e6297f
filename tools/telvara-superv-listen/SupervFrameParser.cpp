#include "SupervFrameParser.h"

#include "superv/CalcCRC16.h"

namespace telvara {

namespace {
constexpr char kStart = '$';
constexpr char kSeparator = '\r';
constexpr char kCellStart = '%';
constexpr char kTextStart = '&';
constexpr char kEnd = '@';
constexpr int kLastColumn = ReceivedSupervFrame::kColumns - 1;

std::string cellName(int row, int column) {
    return "row " + std::to_string(row) + " column " + std::to_string(column);
}
} // namespace

SupervFrameParser::SupervFrameParser(std::size_t maxFrameBytes)
    : maxFrameBytes_(maxFrameBytes < 6 ? 6 : maxFrameBytes) {}

std::string SupervFrameParser::header(int row, int column) const {
    return {kCellStart, static_cast<char>(row & 0xFF), static_cast<char>(column), kTextStart};
}

bool SupervFrameParser::lastCell() const {
    return row_ == frame_.rowCount - 1 && column_ == kLastColumn;
}

void SupervFrameParser::advanceCell() {
    frame_.rows[static_cast<std::size_t>(row_)][static_cast<std::size_t>(column_)] = text_;
    text_.clear();
    if (column_ < kLastColumn) {
        ++column_;
    } else {
        column_ = 0;
        ++row_;
    }
}

std::vector<SupervParseEvent> SupervFrameParser::feed(std::string_view bytes) {
    std::vector<SupervParseEvent> out;
    in_.append(bytes);
    while (pos_ < in_.size())
        step(in_[pos_++], out);
    in_.clear();
    pos_ = 0;
    return out;
}

std::vector<SupervParseEvent> SupervFrameParser::finish() {
    std::vector<SupervParseEvent> out;
    // Each unfinished frame gives back all but its start byte, so this ends.
    while (inFrame()) {
        malformed("stream ended inside a frame", out);
        while (pos_ < in_.size())
            step(in_[pos_++], out);
        in_.clear();
        pos_ = 0;
    }
    if (skipped_ > 0) {
        SupervParseEvent e;
        e.kind = SupervParseEvent::Kind::Skipped;
        e.message = std::to_string(skipped_) + " bytes outside any frame skipped";
        out.push_back(std::move(e));
        skipped_ = 0;
    }
    return out;
}

void SupervFrameParser::malformed(std::string message, std::vector<SupervParseEvent>& out) {
    SupervParseEvent e;
    e.kind = SupervParseEvent::Kind::Malformed;
    e.message = std::move(message);
    out.push_back(std::move(e));
    // A real start byte may lie inside what was taken for this frame.
    in_.insert(pos_, raw_, 1);
    raw_.clear();
    text_.clear();
    frame_ = {};
    state_ = State::Hunt;
}

void SupervFrameParser::step(char byte, std::vector<SupervParseEvent>& out) {
    if (state_ == State::Hunt) {
        if (byte != kStart) {
            ++skipped_;
            return;
        }
        if (skipped_ > 0) {
            SupervParseEvent e;
            e.kind = SupervParseEvent::Kind::Skipped;
            e.message = std::to_string(skipped_) + " bytes before a start byte skipped";
            out.push_back(std::move(e));
            skipped_ = 0;
        }
        raw_.assign(1, kStart);
        frame_ = {};
        state_ = State::Count;
        return;
    }

    raw_ += byte;
    if (raw_.size() > maxFrameBytes_) {
        malformed("no end byte within " + std::to_string(maxFrameBytes_) + " bytes", out);
        return;
    }

    const auto u = static_cast<unsigned char>(byte);
    switch (state_) {
    case State::Hunt:
        break;
    case State::Count:
        frame_.rowCount = u;
        state_ = State::Separator;
        break;
    case State::Separator:
        if (byte != kSeparator) {
            malformed("no CR after the row count", out);
        } else if (frame_.rowCount == 0) {
            state_ = State::EmptyEnd;
        } else {
            frame_.rows.resize(static_cast<std::size_t>(frame_.rowCount));
            row_ = 0;
            column_ = 0;
            headerPos_ = 0;
            state_ = State::FirstHeader;
        }
        break;
    case State::FirstHeader:
        if (byte != header(0, 0)[headerPos_]) {
            malformed("the first cell block is not row 0 column 0", out);
        } else if (++headerPos_ == 4) {
            text_.clear();
            state_ = State::Text;
        }
        break;
    case State::EmptyEnd:
        if (byte != kEnd)
            malformed("no end byte after a row count of 0", out);
        else
            state_ = State::Crc0;
        break;
    case State::Text: {
        if (byte == kEnd && lastCell()) {
            advanceCell();
            state_ = State::Crc0;
            break;
        }
        text_ += byte;
        const std::size_t n = text_.size();
        if (n < 4 || text_[n - 4] != kCellStart || text_[n - 1] != kTextStart)
            break;
        const int r = static_cast<unsigned char>(text_[n - 3]);
        const int c = static_cast<unsigned char>(text_[n - 2]);
        const int nextRow = column_ < kLastColumn ? row_ : row_ + 1;
        const int nextColumn = column_ < kLastColumn ? column_ + 1 : 0;
        if (!lastCell() && r == (nextRow & 0xFF) && c == nextColumn) {
            text_.resize(n - 4);
            advanceCell();
        } else if (c <= kLastColumn) {
            // Column bytes are control characters, never text: this is a block out of place.
            malformed("block for " + cellName(r, c) + " found in the text of " +
                          cellName(row_, column_),
                      out);
        }
        break;
    }
    case State::Crc0:
        frame_.crcReceived = u;
        state_ = State::Crc1;
        break;
    case State::Crc1: {
        frame_.crcReceived = static_cast<std::uint16_t>(frame_.crcReceived | (u << 8));
        frame_.crcComputed = CalcCRC16(std::string_view(raw_).substr(0, raw_.size() - 2));
        frame_.size = raw_.size();
        SupervParseEvent e;
        e.kind = SupervParseEvent::Kind::Frame;
        e.frame = std::move(frame_);
        out.push_back(std::move(e));
        frame_ = {};
        raw_.clear();
        state_ = State::Hunt;
        break;
    }
    }
}

std::string latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (const char ch : latin1) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

} // namespace telvara
