#include "pathfinding/nodes.h"

#include <algorithm>

namespace vlm {

void NodeFactory::Resize(std::int32_t count) {
    nodes_.reset();
    size_ = std::max(count, 0);
    next_ = 0;
    // One block for all nodes; its pages are only touched as nodes are taken.
    if (size_ > 0) nodes_ = std::make_unique_for_overwrite<Node[]>(static_cast<std::size_t>(size_));
}

Node* NodeFactory::Take() {
    if (next_ >= size_) return nullptr;
    return &nodes_[static_cast<std::size_t>(next_++)];
}

void NodeFactory::GiveBack(std::int32_t count) { next_ = std::max(next_ - std::max(count, 0), 0); }

void NodeHashTable::Resize(std::int32_t width, std::int32_t height) {
    width_ = width;
    buckets_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), nullptr);
}

void NodeHashTable::Clear() { std::fill(buckets_.begin(), buckets_.end(), nullptr); }

void NodeHeap::Push(Node* node) {
    node->entry = entries_++;
    heap_.push_back(node);
    node->openIndex = static_cast<std::int32_t>(heap_.size() - 1);
    SiftUp(heap_.size() - 1);
}

void NodeHeap::Reenter(Node* node) {
    node->entry = entries_++;
    // The key may have moved either way: a lower f moves it up, an equal f
    // with its new, later entry moves it down.
    const auto index = static_cast<std::size_t>(node->openIndex);
    SiftUp(index);
    SiftDown(static_cast<std::size_t>(node->openIndex));
}

Node* NodeHeap::PopFirst() {
    Node* first = heap_.front();
    Node* last = heap_.back();
    heap_.pop_back();
    if (!heap_.empty()) {
        Place(0, last);
        SiftDown(0);
    }
    first->openIndex = Node::kNotOpen;
    return first;
}

void NodeHeap::Clear() {
    for (Node* node : heap_)
        node->openIndex = Node::kNotOpen;
    heap_.clear();
}

void NodeHeap::Place(std::size_t index, Node* node) {
    heap_[index] = node;
    node->openIndex = static_cast<std::int32_t>(index);
}

void NodeHeap::SiftUp(std::size_t index) {
    Node* node = heap_[index];
    while (index > 0) {
        const std::size_t parent = (index - 1) / 2;
        if (!Before(node, heap_[parent])) break;
        Place(index, heap_[parent]);
        index = parent;
    }
    Place(index, node);
}

void NodeHeap::SiftDown(std::size_t index) {
    Node* node = heap_[index];
    const std::size_t count = heap_.size();
    for (;;) {
        std::size_t child = 2 * index + 1;
        if (child >= count) break;
        if (child + 1 < count && Before(heap_[child + 1], heap_[child])) ++child;
        if (!Before(heap_[child], node)) break;
        Place(index, heap_[child]);
        index = child;
    }
    Place(index, node);
}

} // namespace vlm
