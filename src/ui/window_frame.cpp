// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window_frame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace veka {

namespace {

const char* const kPlacerName = "veka_frame_placer";

// The frame the window manager gave the shown window; null while it has given none.
QMargins knownFrame(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    if (handle == nullptr || !window->isVisible()) return {};
    return handle->frameMargins();
}

class FramePlacer : public QObject {
  public:
    explicit FramePlacer(QWidget* window) : QObject(window), window_(window) {
        setObjectName(QString::fromLatin1(kPlacerName));
        window->installEventFilter(this);
    }

    void setPlace(const FramePlace& place) {
        place_ = place;
        apply(assumedFrame());
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_) return false;
        if (event->type() == QEvent::Show) {
            apply(assumedFrame());
            waiting_ = true;
        } else if (waiting_) {
            // The first event after the window manager framed the window (usually its first
            // paint) places it by the real frame; queued, so no geometry changes mid-event.
            const QMargins frame = knownFrame(window_);
            if (!frame.isNull()) {
                waiting_ = false;
                QTimer::singleShot(0, this, [this, frame] { apply(frame); });
            }
        }
        return false;
    }

  private:
    // Until the window is framed: its own last frame, else that of its parent window, which
    // the same window manager framed alike.
    QMargins assumedFrame() const {
        const QMargins own = knownFrame(window_);
        if (!own.isNull()) return own;
        const QWidget* parent = window_->parentWidget();
        return parent != nullptr ? knownFrame(parent->window()) : QMargins();
    }

    void apply(const QMargins& frame) {
        const QSize border(frame.left() + frame.right(), frame.top() + frame.bottom());
        if (place_.outerSize)
            window_->setFixedSize((*place_.outerSize - border).expandedTo(place_.smallestClient));
        QPoint topLeft;
        if (place_.topLeft) {
            topLeft = *place_.topLeft;
        } else {
            const QScreen* screen = window_->screen();
            if (screen == nullptr) screen = QGuiApplication::primaryScreen();
            if (screen == nullptr) return;
            QRect outer(QPoint(), window_->size() + border);
            outer.moveCenter(screen->geometry().center());
            topLeft = outer.topLeft();
        }
        window_->setGeometry(QRect(topLeft + QPoint(frame.left(), frame.top()), window_->size()));
    }

    QWidget* window_;
    FramePlace place_;
    bool waiting_ = false;  // shown, but not yet framed
};

}  // namespace

void keepFrame(QWidget* window, const FramePlace& place) {
    QObject* found =
        window->findChild<QObject*>(QString::fromLatin1(kPlacerName), Qt::FindDirectChildrenOnly);
    auto* placer = dynamic_cast<FramePlacer*>(found);
    if (placer == nullptr) placer = new FramePlacer(window);
    placer->setPlace(place);
}

}  // namespace veka
