// The search nodes of the grid planner and the three structures that hold
// them: the pool they come from, the table that finds a cell's node and the
// open list ordered by f.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vlm {

// One search state. At most one node exists per cell: a cell reached again
// more cheaply reuses its node.
struct Node {
    Node* parent; // the node this one was reached from; null for the start
    std::int32_t x, y;
    float f; // the ordering key
    float g; // the cost accumulated from the start
    // The node's place in the open list, or kNotOpen once it has left it.
    std::int32_t openIndex;
    // When the node last entered the open list: among equal f the earliest
    // entry leaves first, and a node that enters again counts as new.
    std::uint64_t entry;

    static constexpr std::int32_t kNotOpen = -1;
};

// A pool of nodes. Nodes are interchangeable, so giving them back is only
// counting.
class NodeFactory {
public:
    // Frees every node, then makes `count` fresh ones (left unset until taken).
    void Resize(std::int32_t count);
    // The next free node, or null when the pool is used up.
    Node* Take();
    void GiveBack(std::int32_t count);
    std::int32_t Taken() const { return next_; }

private:
    std::unique_ptr<Node[]> nodes_;
    std::int32_t size_ = 0;
    std::int32_t next_ = 0;
};

// The nodes by cell. Every cell of the grid has a bucket of its own (the
// cell's index is a perfect hash), so finding a cell's node, open or closed,
// is one read instead of a chain walk or a scan of the open list.
class NodeHashTable {
public:
    void Resize(std::int32_t width, std::int32_t height);
    Node*& At(std::int32_t x, std::int32_t y) {
        return buckets_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    }
    void Clear();

private:
    std::vector<Node*> buckets_;
    std::int32_t width_ = 0;
};

// The open list: a binary heap ordered by f and then by entry, so the node
// that leaves is the one with the smallest f that entered first.
class NodeHeap {
public:
    bool empty() const { return heap_.empty(); }
    std::size_t size() const { return heap_.size(); }
    // Enters a node that is not in the list.
    void Push(Node* node);
    // An open node whose f changed enters again, as the newest.
    void Reenter(Node* node);
    // Removes and returns the first node; the list must not be empty.
    Node* PopFirst();
    void Clear();

private:
    static bool Before(const Node* a, const Node* b) { return a->f < b->f || (a->f == b->f && a->entry < b->entry); }
    void Place(std::size_t index, Node* node);
    void SiftUp(std::size_t index);
    void SiftDown(std::size_t index);

    std::vector<Node*> heap_;
    std::uint64_t entries_ = 0;
};

} // namespace vlm
