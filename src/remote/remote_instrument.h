// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The remote commands: the SCPI tree over the typed operations, with the instrument's one
// status system (error queue, event and status registers) and data format, shared by every
// client. Every leaf parses its arguments once and calls one operation; what the operation
// refuses becomes an SCPI error. Runs on the logic's thread only.

#include <cstdint>
#include <functional>
#include <string>

#include "measure/operations.h"
#include "remote/command_tree.h"
#include "remote/remote_host.h"
#include "remote/scpi_arguments.h"
#include "remote/scpi_format.h"
#include "remote/status_system.h"

namespace veka {

class RemoteInstrument {
  public:
    // version: the program version *IDN? reports.
    RemoteInstrument(RemoteHost& host, std::string version);

    const ScpiTree& tree() const { return tree_; }
    StatusSystem& status() { return status_; }
    RemoteHost& host() { return host_; }

    // Runs a command found in the tree. Settings are refused (-221) while the window is
    // asking its user; queries and the status commands run. A device drop-out, a sweep of
    // demonstration readings and a completed *OPC are noted before and after.
    ScpiReply execute(const ScpiTree::Node& node, const ScpiCommand& c);

    // Whether an operation is still under way: a sweep that has been asked to stop and has
    // not yet completed. *OPC?, *OPC and *WAI wait for it; a continuous sweep is no operation.
    bool operationPending() const;
    // Queues what happened since the last look: -240 and the device error bit for a drop-out
    // of the device, -241 for every sweep of demonstration readings; sets the operation
    // complete bit once a pending *OPC is done.
    void observe();

  private:
    void addCommon();
    void addStatus();
    void addSystem();
    void addSense();
    void addSweepEdges();
    void addSource();
    void addSweep();
    void addTrace();
    void addCalculate();
    void addFormat();
    void addMemory();
    void addAnalysis();
    void addAveraging();
    void addReference();
    void addLimitsAndFilter();
    // *RST: averaging, hold, the normalised view and the limit test off; a stored reference
    // and a loaded limit table stay, as an instrument keeps its memory traces.
    void resetAdditions();

    // The reply to what an operation did.
    ScpiReply done(const Status& s);
    // A setting of one number in a unit, MIN/MAX/DEF from its range, and its query.
    void addNumber(std::string_view path, Unit unit, Range (Operations::*range)() const,
                   Status (Operations::*set)(int32_t), int32_t SettingsReading::*value);
    // A file named by the client, checked (remoteFileName, `extension` as there) and
    // confined to the working folder, handed to the operation.
    // ON|OFF of an addition, and its query from the extras.
    void addSwitch(std::string_view path, Status (Operations::*set)(bool),
                   bool ExtrasReading::*value);
    // A command without arguments.
    void addAction(std::string_view path, std::function<ScpiReply()> run);
    ScpiReply fileCommand(const ScpiCommand& c, std::string_view extension,
                          Status (Operations::*op)(const std::string&));
    SweepPlan plan() const;

    RemoteHost& host_;
    Operations ops_;
    std::string version_;
    ScpiTree tree_;
    StatusSystem status_;
    DataFormat format_;
    bool opcArmed_ = false;        // *OPC sets its bit once no operation is pending
    bool demoSeen_ = false;        // in demonstration mode at the last look
    uint64_t demoSweepsSeen_ = 0;  // demonstration sweeps counted at the last look
};

// The SCPI error code of a refusal.
int scpiCode(const Error& e);

}  // namespace veka
