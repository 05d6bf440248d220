// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/line_runner.h"

namespace veka {

LineRunner::LineRunner(std::string_view line) : commands_(parseScpiLine(line)) {}

bool LineRunner::run(RemoteInstrument& instrument) {
    StatusSystem& status = instrument.status();
    for (; next_ < commands_.size(); ++next_) {
        const ScpiParsed& p = commands_[next_];
        if (p.error != scpi::NoError) {
            status.push(p.error);  // nothing after a malformed command is run
            next_ = commands_.size();
            break;
        }
        const ScpiCommand& c = p.command;
        const ScpiTree::Node* node = instrument.tree().find(c, prefix_);
        const ScpiHandler* handler = nullptr;
        if (node != nullptr) handler = c.query ? &node->query : &node->set;
        if (handler == nullptr || !*handler) {
            status.push(scpi::UndefinedHeader);
            next_ = commands_.size();
            break;
        }
        const ScpiReply reply = instrument.execute(*node, c);
        if (reply.later) return false;
        status.push(reply.error, reply.detail);
        if (reply.text) answers_.push_back(*reply.text);
        if (!c.common) prefix_ = node->parent;
    }
    return true;
}

std::optional<std::string> LineRunner::answer() const {
    if (answers_.empty()) return std::nullopt;
    std::string out = answers_.front();
    for (size_t i = 1; i < answers_.size(); ++i) {
        out += ';';
        out += answers_[i];
    }
    return out;
}

}  // namespace veka
