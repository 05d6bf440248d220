// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Places top-level windows by their outer frame, as the designed windows are placed. Under
// X11 Qt can only place the client area until the window manager has framed the window, so
// the place is taken once more as soon as the frame is known, at every showing.

#include <QPoint>
#include <QSize>
#include <optional>

class QWidget;

namespace veka {

struct FramePlace {
    std::optional<QPoint> topLeft;   // the frame's top-left on the screen; none: centred
    std::optional<QSize> outerSize;  // the frame's size; none: the client keeps its size
    QSize smallestClient{0, 0};      // with outerSize: a thick frame never clips the controls

    static FramePlace at(QPoint topLeft) { return {topLeft, std::nullopt, QSize()}; }
    static FramePlace centred() { return {std::nullopt, std::nullopt, QSize()}; }
};

// Keeps the window at that place whenever it is shown; a later call replaces the place.
void keepFrame(QWidget* window, const FramePlace& place);

}  // namespace veka
