#pragma once

class QWidget;

namespace telvara {

// Moves a top-level window to the middle of the primary screen, halves truncated towards zero.
void centreOnScreen(QWidget& window);

// Centres a window once, at its first showing: the operator's later moves are kept.
void centreOnScreenOnce(QWidget& window);

} // namespace telvara
