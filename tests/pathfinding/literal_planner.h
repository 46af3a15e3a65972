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

// 2^8 buckets; the bucket of a cell is its x and y modulo 16 side by side.
class LiteralHashTable {
public:
    void Insert(LiteralNode* node) { node->next = std::exchange(heads_[Bucket(node->x, node->y)], node); }
    // Remembers the link to the node found, for RemoveFound.
    LiteralNode* Find(int x, int y) {
        for (link_ = &heads_[Bucket(x, y)]; *link_; link_ = &(*link_)->next)
            if ((*link_)->x == x && (*link_)->y == y) return *link_;
        return nullptr;
    }
    void RemoveFound() { *link_ = (*link_)->next; }

private:
    static std::size_t Bucket(int x, int y) { return static_cast<std::size_t>((x & 15) | ((y & 15) << 4)); }
    std::vector<LiteralNode*> heads_ = std::vector<LiteralNode*>(256);
    LiteralNode** link_ = nullptr;
};

// A ring buffer of fixed capacity: it grows at either end in place, and in
// the middle through a copy of the whole content.
class FixedDeque {
public:
    explicit FixedDeque(int capacity) : items_(static_cast<std::size_t>(capacity)), spare_(items_.size()) {}
    int size() const { return size_; }
    LiteralNode*& at(int i) { return items_[(head_ + static_cast<std::size_t>(i)) % items_.size()]; }
    LiteralNode* pop_back() { return at(--size_); }
    void insert(int i, LiteralNode* node) {
        if (i == 0) {
            head_ = (head_ + items_.size() - 1) % items_.size();
        } else if (i < size_) {
            for (int k = 0; k < size_; ++k)
                spare_[static_cast<std::size_t>(k + (k >= i))] = at(k);
            std::swap(items_, spare_);
            head_ = 0;
        }
        ++size_;
        at(i) = node;
    }
    void erase(int i) {
        for (; i < size_ - 1; ++i)
            at(i) = at(i + 1);
        --size_;
    }

private:
    std::vector<LiteralNode*> items_, spare_;
    std::size_t head_ = 0;
    int size_ = 0;
};

// Descending f by binary search; a new node goes in front of those with an equal f.
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
    std::vector<float> cost;
    for (int i = 0; i < width * height; ++i) {
        const double v = map.data()[i];
        cost.push_back(v > 0 ? static_cast<float>(std::clamp(v, double(FLT_MIN), double(FLT_MAX))) : -1.0f);
    }
    const float largest = std::max(0.0f, *std::max_element(cost.begin(), cost.end()));
    for (float& c : cost)
        if (c > 0) c = c / largest + 1.0f;

    std::vector<std::unique_ptr<LiteralNode>> pool;
    auto node = [&](LiteralNode* parent, int x, int y, float f, float g) {
        return pool.emplace_back(new LiteralNode{parent, x, y, f, g, nullptr}).get();
    };
    FixedDeque open(width * height);
    LiteralHashTable closed;
    open.insert(0, node(nullptr, sx, sy, 0, 0));
    LiteralNode* goal = nullptr;
    static constexpr int kSteps[8][3] = {{-1, -1, 1}, {0, -1, 0}, {1, -1, 1}, {1, 0, 0},
                                         {-1, 0, 0},  {-1, 1, 1}, {0, 1, 0},  {1, 1, 1}};
    while (open.size() > 0 && !goal) {
        LiteralNode* current = open.pop_back();
        if (current->x == ex && current->y == ey) goal = current;
        for (int k = 0; k < 8 && !goal; ++k) {
            const int x = current->x + kSteps[k][0], y = current->y + kSteps[k][1];
            const bool diagonal = kSteps[k][2];
            if ((diagonal && !diagonalMoves) || !inside(x, y) || cost[y * width + x] == -1.0f) continue;
            const float g = current->g + (diagonal ? cost[y * width + x] * 1.4142137f : cost[y * width + x]);
            const float f = (static_cast<float>(std::abs(ex - x) + std::abs(ey - y)) - g) * w + g;
            LiteralNode* known = closed.Find(x, y);
            if (known) {
                if (known->g <= g) continue;
                closed.RemoveFound();
            } else {
                int at = open.size() - 1;
                while (at >= 0 && (open.at(at)->x != x || open.at(at)->y != y))
                    --at;
                if (at >= 0) {
                    known = open.at(at);
                    if (known->g <= g) continue;
                    open.erase(at);
                }
            }
            if (known) *known = {current, x, y, f, g, nullptr};
            InsertSorted(open, known ? known : node(current, x, y, f, g));
        }
        closed.Insert(current);
    }
    if (!goal) {
        path.Dimension(0);
        return 0;
    }
    int n = 0;
    for (LiteralNode* p = goal; p; p = p->parent)
        ++n;
    path.Dimension(n, 2);
    int i = n;
    for (LiteralNode* p = goal; p; p = p->parent) {
        path.At(--i, 0) = p->x;
        path.At(i, 1) = p->y;
    }
    return n;
}

} // namespace vlm::test
