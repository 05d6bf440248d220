// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/command_tree.h"

namespace veka {

namespace {

using Node = ScpiTree::Node;

const Node* childNamed(const Node& n, std::string_view keyword) {
    for (const auto& c : n.children)
        if (keywordMatches(keyword, c->mnemonic)) return c.get();
    return nullptr;
}

// A child by name, also through one optional keyword the user left out.
const Node* step(const Node& n, std::string_view keyword) {
    if (const Node* c = childNamed(n, keyword)) return c;
    for (const auto& c : n.children)
        if (c->optional)
            if (const Node* g = childNamed(*c, keyword)) return g;
    return nullptr;
}

// A node without handlers stands for its optional child that has them ("INIT" = INIT:IMM).
const Node* leaf(const Node* n) {
    if (n == nullptr || n->set || n->query) return n;
    for (const auto& c : n->children)
        if (c->optional && (c->set || c->query)) return c.get();
    return nullptr;
}

}  // namespace

ScpiTree::ScpiTree() = default;

void ScpiTree::add(std::string_view written, ScpiHandler set, ScpiHandler query,
                   bool setWhileAsking) {
    // "INITiate[:IMMediate]" is split like "INITiate:[IMMediate]".
    std::string normal(written);
    for (size_t at = normal.find("[:"); at != std::string::npos; at = normal.find("[:", at))
        normal.replace(at, 2, ":[");
    std::string_view path = normal;
    Node* n = &root_;
    if (!path.empty() && path.front() == '*') {
        n = &common_;
        path.remove_prefix(1);
    }
    while (!path.empty()) {
        const size_t end = path.find(':');
        std::string_view key = path.substr(0, end);
        path = end == std::string_view::npos ? std::string_view{} : path.substr(end + 1);
        const bool optional = key.size() > 2 && key.front() == '[' && key.back() == ']';
        if (optional) key = key.substr(1, key.size() - 2);
        Node* next = nullptr;
        for (auto& c : n->children)
            if (c->mnemonic == key) next = c.get();
        if (next == nullptr) {
            auto made = std::make_unique<Node>();
            made->mnemonic = std::string(key);
            made->optional = optional;
            made->parent = n;
            next = made.get();
            n->children.push_back(std::move(made));
        }
        n = next;
    }
    n->set = std::move(set);
    n->query = std::move(query);
    n->setWhileAsking = setWhileAsking;
}

const Node* ScpiTree::findBelow(const Node& start, const std::vector<std::string>& keywords) const {
    const Node* n = &start;
    for (const std::string& k : keywords) {
        n = step(*n, k);
        if (n == nullptr) return nullptr;
    }
    return leaf(n);
}

const Node* ScpiTree::find(const ScpiCommand& c, const Node* from) const {
    if (c.keywords.empty()) return nullptr;
    if (c.common) return findBelow(common_, c.keywords);
    if (!c.absolute && from != nullptr && from != &root_)
        if (const Node* n = findBelow(*from, c.keywords)) return n;
    return findBelow(root_, c.keywords);
}

}  // namespace veka
