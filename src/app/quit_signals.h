#pragma once
// SIGTERM and SIGINT end the program the way closing the main window does, so that a
// session logout or Ctrl+C leaves no device half-way through an exchange.

#include <QObject>
#include <QSocketNotifier>
#include <functional>

#include "link/abort_event.h"

namespace veka {

class QuitSignals : public QObject {
  public:
    // abort: raised by the handler at once, so that a device wait running on the window thread
    // ends before the window thread gets to close (see DeviceLink::abortEvent). It must outlive
    // this object. close: runs on the window thread once a signal has arrived.
    QuitSignals(const AbortEvent& abort, std::function<void()> close);
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
};

}  // namespace veka
