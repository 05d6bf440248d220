// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SIGTERM, SIGINT and SIGHUP end the program the way closing the main window does, so that a
// session logout, a closed terminal or Ctrl+C leaves no device half-way through an exchange and
// no port claimed: the port's exclusive flag belongs to the terminal and would outlive us.

#include <QObject>
#include <QSocketNotifier>
#include <functional>

#include "link/abort_event.h"
#include "link/exchange.h"

namespace veka {

class QuitSignals : public QObject {
  public:
    // abort: raised by the handler at once, so that a device wait running on the window thread
    // ends before the window thread gets to close (see DeviceLink::abortEvent). It must outlive
    // this object. close: runs on the window thread once a signal has arrived, from whatever
    // event loop runs there (a box's included).
    QuitSignals(const AbortEvent& abort, std::function<void()> close);
    // The same for a device link, whose port is released (exclusive flag cleared, closed)
    // right after close, whatever close did. The link must outlive this object.
    QuitSignals(DeviceLink& link, std::function<void()> close);
    ~QuitSignals() override;  // the default actions come back
    QuitSignals(const QuitSignals&) = delete;
    // The last signal that arrived, or 0.
    static int received();
    QuitSignals& operator=(const QuitSignals&) = delete;

  private:
    void arrived();

    int wakeFd_;
    QSocketNotifier notifier_;
    std::function<void()> close_;
    DeviceLink* link_ = nullptr;
};

}  // namespace veka
