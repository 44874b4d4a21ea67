// The index of a list of nodes kept sorted by an unsigned `priority` from head to tail, in the
// order of `Before` (ascending by default): for each priority in the list, its first node and how
// many nodes have it. A node's place is found from it, not by a walk of the list: in front of the
// first node whose priority does not come before its own (in front of its equals), or of the
// first whose priority comes after it (behind its equals), so that placing a node among many of
// one priority costs as much as among few. The list links, moves and unlinks its nodes only
// through the index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <list>
#include <map>
#include <new>
#include <optional>
#include <utility>

template <class Node, class Before = std::less<uint32_t>>
class PriorityRuns {
 public:
  using Nodes = std::list<Node>;
  using NodeIter = typename Nodes::iterator;

  // Links the node in front of (or behind) its equals; none when there is no memory for it.
  std::optional<NodeIter> Insert(Nodes& nodes, Node node, bool behind) {
    const uint32_t priority = node.priority;
    if (!Reserve(priority)) return std::nullopt;
    NodeIter linked;
    try {
      linked = nodes.insert(PlaceFor(nodes, priority, behind), std::move(node));
    } catch (const std::bad_alloc&) {
      DropIfEmpty(priority);
      return std::nullopt;
    }
    Join(linked, behind);
    return linked;
  }

  // Gives the node the priority and links it again in front of (or behind) its equals; the node
  // and every iterator to it stay. False, with nothing changed, when there is no memory.
  bool Move(Nodes& nodes, NodeIter node, uint32_t priority, bool behind) {
    if (!Reserve(priority)) return false;
    const uint32_t old_priority = node->priority;
    Leave(node);
    // Moved aside first, so that its place is found among the others.
    Nodes moving;
    moving.splice(moving.begin(), nodes, node);
    node->priority = priority;
    nodes.splice(PlaceFor(nodes, priority, behind), moving, node);
    Join(node, behind);
    DropIfEmpty(old_priority);
    return true;
  }

  // Unlinks the node; the node after it.
  NodeIter Erase(Nodes& nodes, NodeIter node) {
    const uint32_t priority = node->priority;
    Leave(node);
    DropIfEmpty(priority);
    return nodes.erase(node);
  }

  // The list was emptied.
  void Clear() { runs_.clear(); }

 private:
  struct Run {
    NodeIter first{};
    std::size_t count = 0;
  };

  // Makes room for the run of the priority before a node joins it: false without memory. A run
  // that no node joins is dropped again.
  bool Reserve(uint32_t priority) {
    try {
      runs_.try_emplace(priority);
    } catch (const std::bad_alloc&) {
      return false;
    }
    return true;
  }

  NodeIter PlaceFor(Nodes& nodes, uint32_t priority, bool behind) const {
    auto run = behind ? runs_.upper_bound(priority) : runs_.lower_bound(priority);
    // A run reserved for a node not linked yet holds none.
    while (run != runs_.end() && run->second.count == 0) ++run;
    return run != runs_.end() ? run->second.first : nodes.end();
  }

  // The node was linked where PlaceFor said, in the run reserved for its priority.
  void Join(NodeIter node, bool behind) {
    Run& run = runs_.find(node->priority)->second;
    if (run.count == 0 || !behind) run.first = node;
    ++run.count;
  }

  // The node, still linked, is about to be unlinked. Its run stays, empty or not, until
  // DropIfEmpty.
  void Leave(NodeIter node) {
    Run& run = runs_.find(node->priority)->second;
    --run.count;
    if (run.first == node) run.first = std::next(node);
  }

  void DropIfEmpty(uint32_t priority) {
    const auto run = runs_.find(priority);
    if (run != runs_.end() && run->second.count == 0) runs_.erase(run);
  }

  std::map<uint32_t, Run, Before> runs_;
};
