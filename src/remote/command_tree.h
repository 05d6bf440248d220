// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The SCPI command tree: a node per keyword, each leaf with a handler for the command and one
// for its query. Keywords in brackets are optional ("[SENSe]:FREQuency:STARt" is also reached
// as "FREQ:STAR"). The tree only finds handlers; what they do lives with the commands.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "remote/scpi_parser.h"

namespace veka {

// What a handler made of a command.
struct ScpiReply {
    int error = 0;                    // 0 or a negative SCPI code for the error queue
    std::optional<std::string> text;  // the answer of a query
    bool later = false;  // not done yet: run the same command again once the instrument is idle
    std::string detail;  // said after the error's text

    static ScpiReply fail(int code, std::string why = {}) {
        return {code, std::nullopt, false, std::move(why)};
    }
    static ScpiReply answer(std::string t) { return {0, std::move(t), false, {}}; }
    static ScpiReply retryWhenIdle() { return {0, std::nullopt, true, {}}; }
};

using ScpiHandler = std::function<ScpiReply(const ScpiCommand&)>;

class ScpiTree {
  public:
    struct Node {
        std::string mnemonic;  // "FREQuency"
        bool optional = false;
        const Node* parent = nullptr;
        std::vector<std::unique_ptr<Node>> children;
        ScpiHandler set;
        ScpiHandler query;
        bool setWhileAsking = false;  // the command runs while the window asks its user
    };

    ScpiTree();

    // written: keywords separated by ':', "[KEY]" optional; "*IDN" for a common command. Either
    // handler may be empty (a command without a query, a query without a command).
    // setWhileAsking: the command touches no setting (status commands), so it runs while the
    // window asks its user; queries always do.
    void add(std::string_view written, ScpiHandler set, ScpiHandler query,
             bool setWhileAsking = false);

    // The leaf a command names, or nullptr. A non-absolute command is looked up below `from`
    // (the parent of the previous command of a compound line) before the root.
    const Node* find(const ScpiCommand& c, const Node* from = nullptr) const;

    const Node& root() const { return root_; }

  private:
    const Node* findBelow(const Node& start, const std::vector<std::string>& keywords) const;

    Node root_;
    Node common_;
};

}  // namespace veka
