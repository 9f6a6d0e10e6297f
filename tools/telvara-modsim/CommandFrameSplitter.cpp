#include "CommandFrameSplitter.h"

#include <utility>

namespace telvara::modsim {

std::optional<QByteArray> CommandFrameSplitter::feed(char byte) {
    if (!inFrame_) {
        if (byte == '<') {
            frame_ = QByteArray(1, '<');
            inFrame_ = true;
        }
        return std::nullopt; // CR LF and stray bytes between frames
    }
    const bool pulseByte =
        frame_.size() == 13 && (frame_.endsWith("01011") || frame_.endsWith("01012"));
    if (byte == '<' && !pulseByte) {
        // A new frame begins before the old one ended: hand on the fragment, start again.
        std::optional<QByteArray> cut = frame_;
        frame_ = QByteArray(1, '<');
        return cut;
    }
    frame_ += byte;
    if ((byte == '>' && !pulseByte) || frame_.size() >= kMaxFrame) {
        inFrame_ = false;
        return std::exchange(frame_, {});
    }
    return std::nullopt;
}

} // namespace telvara::modsim
