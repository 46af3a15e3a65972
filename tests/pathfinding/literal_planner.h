// The grid search written the slow, plain way: nodes allocated one by one,
// a closed set hashed into 256 buckets chained through the nodes, and the
// open list kept as a sorted ring buffer (FixedDeque) that is searched from
// the back and copied on every insertion in the middle. FindGridPath must
// give exactly its routes; tests, benchmarks and the fuzz target compare.
#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "values/dyn_array.h"

namespace vlm::test {

struct LiteralNode {
    LiteralNode* parent;
    int x, y;
    float f, g;
    LiteralNode* next; // chain of the closed set's bucket
};

class LiteralHashTable {
public:
    explicit LiteralHashTable(int bits) : half_(std::min(bits, 24) / 2), heads_(std::size_t{1} << (2 * half_)) {}
    void Insert(LiteralNode* node) {
        LiteralNode*& head = heads_[Bucket(node->x, node->y)];
        for (LiteralNode* n = head; n; n = n->next)
            if (n == node) return;
        node->next = head;
        head = node;
    }
    // Remembers the link to the node found, for RemoveFound.
    LiteralNode* Find(int x, int y) {
        for (link_ = &heads_[Bucket(x, y)]; *link_; link_ = &(*link_)->next)
            if ((*link_)->x == x && (*link_)->y == y) return *link_;
        return nullptr;
    }
    void RemoveFound() { *link_ = (*link_)->next; }

private:
    std::size_t Bucket(int x, int y) const {
        const int mask = (1 << half_) - 1;
        return static_cast<std::size_t>((x & mask) | ((y & mask) << half_));
    }
    int half_;
    std::vector<LiteralNode*> heads_;
    LiteralNode** link_ = nullptr;
};

class FixedDeque {
public:
    explicit FixedDeque(int capacity) : items_(capacity), spare_(capacity), capacity_(capacity) {}
    int size() const { return empty_ ? 0 : tail_ > head_ ? tail_ - head_ : capacity_ - head_ + tail_; }
    LiteralNode*& at(int i) { return items_[static_cast<std::size_t>((head_ + i) % capacity_)]; }
    LiteralNode* back() { return at(size() - 1); }
    void pop_back() {
        tail_ = (tail_ + capacity_ - 1) % capacity_;
        empty_ = tail_ == head_;
    }
    bool push_back(LiteralNode* node) {
        if (size() == capacity_) return false;
        items_[static_cast<std::size_t>(tail_)] = node;
        tail_ = (tail_ + 1) % capacity_;
        empty_ = false;
        return true;
    }
    bool push_front(LiteralNode* node) {
        if (size() == capacity_) return false;
        head_ = (head_ + capacity_ - 1) % capacity_;
        items_[static_cast<std::size_t>(head_)] = node;
        empty_ = false;
        return true;
    }
    bool insert(int i, LiteralNode* node) {
        const int n = size();
        if (n == capacity_ || i > n) return false;
        if (i == n) return push_back(node);
        if (i == 0) return push_front(node);
        for (int k = 0, from = 0; k <= n; ++k)
            spare_[static_cast<std::size_t>(k)] = k == i ? node : at(from++);
        std::swap(items_, spare_);
        head_ = 0;
        tail_ = (n + 1) % capacity_;
        return true;
    }
    void erase(int i) {
        for (int k = i; k < size() - 1; ++k)
            at(k) = at(k + 1);
        pop_back();
    }

private:
    std::vector<LiteralNode*> items_, spare_;
    int capacity_, head_ = 0, tail_ = 0;
    bool empty_ = true;
};

// Descending f; a new node goes in front of the nodes with an equal f.
inline void InsertSorted(FixedDeque& open, LiteralNode* node) {
    int low = 0, high = open.size();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (open.at(middle)->f <= node->f)
            high = middle;
        else
            low = middle + 1;
    }
    open.insert(low, node);
}

inline int LiteralFindGridPath(const NumberArray& map, IntegerArray& path, double weight, int sx, int sy, int ex,
                               int ey, bool diagonalMoves = false) {
    const int width = map.size(0), height = map.size(1);
    auto inside = [&](int x, int y) { return x >= 0 && x < width && y >= 0 && y < height; };
    if (!inside(sx, sy) || !inside(ex, ey) || (sx == ex && sy == ey)) return 0;
    const float w = std::isnan(weight) ? 0.0f : static_cast<float>(std::clamp(weight, 0.0, 1.0));
    const int cells = width * height;
    std::vector<float> cost(static_cast<std::size_t>(cells));
    float largest = 0;
    for (int i = 0; i < cells; ++i) {
        const double v = map.data()[i];
        cost[static_cast<std::size_t>(i)] =
            v > 0 ? static_cast<float>(std::clamp(v, double(FLT_MIN), double(FLT_MAX))) : -1.0f;
        largest = std::max(largest, cost[static_cast<std::size_t>(i)]);
    }
    if (largest > 0)
        for (float& c : cost)
            if (c > 0) c = c / largest + 1.0f;

    std::vector<std::unique_ptr<LiteralNode>> pool;
    FixedDeque open(cells);
    LiteralHashTable closed(8);
    auto take = [&] { return pool.emplace_back(std::make_unique<LiteralNode>()).get(); };
    LiteralNode* start = take();
    *start = {nullptr, sx, sy, 0, 0, nullptr};
    open.push_back(start);
    LiteralNode* goal = nullptr;
    static constexpr int kSteps[8][3] = {{-1, -1, 1}, {0, -1, 0}, {1, -1, 1}, {1, 0, 0},
                                         {-1, 0, 0},  {-1, 1, 1}, {0, 1, 0},  {1, 1, 1}};
    while (open.size() > 0) {
        LiteralNode* current = open.back();
        open.pop_back();
        if (current->x == ex && current->y == ey) {
            closed.Insert(current);
            goal = current;
            break;
        }
        for (const auto& s : kSteps) {
            const int x = current->x + s[0], y = current->y + s[1];
            if ((s[2] && !diagonalMoves) || !inside(x, y)) continue;
            const float v = cost[static_cast<std::size_t>(y * width + x)];
            if (v == -1.0f) continue;
            const float g = current->g + (s[2] ? v * 1.4142137f : v);
            const float f = (static_cast<float>(std::abs(ex - x) + std::abs(ey - y)) - g) * w + g;
            if (LiteralNode* node = closed.Find(x, y)) {
                if (node->g <= g) continue;
                closed.RemoveFound();
                *node = {current, x, y, f, g, nullptr};
                InsertSorted(open, node);
                continue;
            }
            int at = open.size() - 1;
            while (at >= 0 && (open.at(at)->x != x || open.at(at)->y != y))
                --at;
            if (at >= 0) {
                LiteralNode* node = open.at(at);
                if (node->g <= g) continue;
                open.erase(at);
                *node = {current, x, y, f, g, nullptr};
                InsertSorted(open, node);
                continue;
            }
            LiteralNode* node = take();
            *node = {current, x, y, f, g, nullptr};
            InsertSorted(open, node);
        }
        closed.Insert(current);
    }
    if (!goal) {
        path.Dimension(0);
        return 0;
    }
    int n = 0;
    for (LiteralNode* node = goal; node; node = node->parent)
        ++n;
    path.Dimension(n, 2);
    int i = n;
    for (LiteralNode* node = goal; node; node = node->parent) {
        path.At(--i, 0) = node->x;
        path.At(i, 1) = node->y;
    }
    return n;
}

} // namespace vlm::test
