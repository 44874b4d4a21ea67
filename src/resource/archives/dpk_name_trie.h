// The name tree of a DPK index: a packed trie. A node is a count byte N followed by N records
// {character byte, value of 2 or 4 bytes}. For the terminating zero the value is the entry
// number; for any other character it is the distance from the end of the record to the child
// node. Every link is checked against the tree, so a damaged tree never reads outside it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

// The longest name a tree may hold: an engine path's room without its terminating zero.
inline constexpr std::size_t kDpkMaxNameLength = 259;

// Looks a name up. Case mode 0 takes the name as it is, 1 upper-cases a copy first and any
// other value lower-cases a copy first. The entry number, or nothing when the tree does not
// hold the name (or a link on its way leaves the tree).
std::optional<std::uint32_t> LookupNameTrie(std::span<const std::uint8_t> tree, bool wide, const char* name,
                                            int case_mode);

// Walks every name of the tree depth-first and hands each with its entry number to `visit`; an
// empty tree holds no names. False when the tree is damaged: a node or link outside it, a name longer than
// kDpkMaxNameLength, or more records visited than the tree can hold (links that share nodes).
bool WalkNameTrie(std::span<const std::uint8_t> tree, bool wide,
                  const std::function<void(std::string_view name, std::uint32_t number)>& visit);
