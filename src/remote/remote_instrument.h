#pragma once
// The remote commands: the SCPI tree over the program logic, with the error queue. Every leaf
// calls the handler the window calls for the same control (a value it would type comes from
// the command's argument) and is refused with "Settings conflict" while that control is
// disabled in the window model, so the sweep lock-out has one source. Runs on the logic's
// thread only.

#include <initializer_list>
#include <string>

#include "measure/window_model.h"
#include "remote/command_tree.h"
#include "remote/error_queue.h"
#include "remote/remote_host.h"

namespace veka {

class RemoteInstrument {
  public:
    // version: the program version *IDN? reports.
    RemoteInstrument(RemoteHost& host, std::string version);

    const ScpiTree& tree() const { return tree_; }
    ErrorQueue& errors() { return errors_; }

    // Whether an operation is still under way: a sweep that has been asked to stop and has
    // not yet completed. *OPC? and *WAI wait for it; a continuous sweep is no operation.
    bool operationPending() const;
    // Queues "Hardware error" once for every device time-out since the last look.
    void noteDeviceTimeouts();
    // A new client: errors of the previous one are forgotten.
    void resetSession();

  private:
    void addCommon();
    void addSense();
    void addSource();
    void addSweep();
    void addTrace();
    void addCalculate();
    void addMemory();

    Instrument& inst();
    // Whether every control is enabled in the window model (the window's own lock-out).
    bool allowed(std::initializer_list<Control> controls);
    // Runs a command through the front; the remote answer for any input box is `answer`.
    ScpiReply runWithAnswer(std::string answer, void (*handler)(Netzwerktester&, UserInterface&));
    ScpiReply runLogic(void (Netzwerktester::*handler)());
    // A command whose value the window asks for in its input box: an integer from `lowest`,
    // refused while one of the controls is disabled, then the handler with it as the answer.
    ScpiHandler typedValue(int64_t lowest, std::initializer_list<Control> controls,
                           void (*handler)(Netzwerktester&, UserInterface&));
    ScpiReply setToggle(Control item, void (Netzwerktester::*toggle)(), bool on);
    void requestStop();
    ScpiReply reset();
    ScpiReply fileCommand(const ScpiCommand& c, std::initializer_list<Control> controls,
                          bool mustExist, void (*handler)(Netzwerktester&, UserInterface&));

    RemoteHost& host_;
    std::string version_;
    ScpiTree tree_;
    ErrorQueue errors_;
    bool demoSeen_ = false;
};

}  // namespace veka
