#pragma once
// The remote commands: the SCPI tree over the typed operations, with the error queue. Every
// leaf parses its arguments once and calls one operation; what the operation refuses becomes
// an SCPI error. Runs on the logic's thread only.

#include <string>

#include "measure/operations.h"
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

    // The reply to what an operation did; the front shows the change.
    ScpiReply done(const Status& s);
    // A setting that takes one integer: the operation checks its range.
    ScpiHandler integerSetting(Status (Operations::*set)(int32_t));
    ScpiReply fileCommand(const ScpiCommand& c, Status (Operations::*op)(const std::string&));

    RemoteHost& host_;
    Operations ops_;
    std::string version_;
    ScpiTree tree_;
    ErrorQueue errors_;
    bool demoSeen_ = false;
};

// The SCPI error code of a refusal.
int scpiCode(const Error& e);

}  // namespace veka
