#pragma once

#include <QByteArray>

#include <optional>

namespace telvara::modsim {

// Cuts the panel's byte stream into frames from '<' to '>'. Frames are followed by CR LF, except
// one form that is not, so lines mean nothing here. The pulse frames 01011 and 01012 carry a
// binary byte at position 14, which may be '>' or '<'; it is taken as data.
class CommandFrameSplitter {
public:
    // Longer runs without '>' are handed on as they are (and refused by the module).
    static constexpr int kMaxFrame = 40;

    // Feeds one byte; returns a frame when this byte completes one (or cuts one short).
    std::optional<QByteArray> feed(char byte);

private:
    QByteArray frame_;
    bool inFrame_ = false;
};

} // namespace telvara::modsim
