#include "pathfinding/planner.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace vlm {

namespace {

constexpr float kDiagonalStep = 1.4142137f;

struct Step {
    std::int32_t dx, dy;
    bool diagonal;
};
// The order in which neighbours are visited decides between routes of equal
// cost, so it is part of the result.
constexpr Step kSteps[] = {{-1, -1, true}, {0, -1, false}, {1, -1, true}, {1, 0, false},
                           {-1, 0, false}, {-1, 1, true},  {0, 1, false}, {1, 1, true}};

bool Inside(std::int32_t x, std::int32_t y, const PlannerParameters& p) {
    return x >= 0 && x < p.width && y >= 0 && y < p.height;
}

// A positive cost stays a positive, finite float however large or small
// the number was, so that normalising can never produce 0, infinity or NaN.
float WorkingCost(double cost) {
    if (!(cost > 0)) return -1.0f;
    return static_cast<float>(std::clamp(cost, static_cast<double>(FLT_MIN), static_cast<double>(FLT_MAX)));
}

} // namespace

bool Planner::SetUp(const PlannerParameters& parameters) {
    const PlannerParameters& p = parameters;
    if (!Inside(p.startX, p.startY, p) || !Inside(p.endX, p.endY, p)) return false;
    if (p.startX == p.endX && p.startY == p.endY) return false;

    goal_ = nullptr;
    const auto cells = static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height);
    costs_.resize(cells);
    float largest = 0.0f;
    for (std::size_t i = 0; i < cells; ++i) {
        costs_[i] = WorkingCost(p.costs[i]);
        largest = std::max(largest, costs_[i]);
    }
    // Every passable cell then costs from 1 to 2.
    if (largest > 0) {
        for (float& cost : costs_) {
            if (cost > 0) cost = cost / largest + 1.0f;
        }
    }
    nodes_.Resize(static_cast<std::int32_t>(cells));
    open_.Clear();
    cells_.Resize(p.width, p.height);

    parameters_ = p;
    parameters_.weight = std::isnan(p.weight) ? 0.0f : std::clamp(p.weight, 0.0f, 1.0f);
    finished_ = true;
    return true;
}

void Planner::Reset() {
    finished_ = false;
    goal_ = nullptr;
}

void Planner::Release() {
    // Every node taken is in one of the two lists.
    nodes_.GiveBack(nodes_.Taken());
    open_.Clear();
    cells_.Clear();
    goal_ = nullptr;
    finished_ = true;
}

void AStarPlanner::Reset() {
    Planner::Reset();
    Node* start = nodes_.Take();
    *start = Node{nullptr, parameters_.startX, parameters_.startY, 0.0f, 0.0f, Node::kNotOpen, 0};
    cells_.At(start->x, start->y) = start;
    open_.Push(start);
}

bool AStarPlanner::Search() {
    const float step = parameters_.diagonalCost ? kDiagonalStep : 1.0f;
    while (!open_.empty()) {
        Node* current = open_.PopFirst();
        if (current->x == parameters_.endX && current->y == parameters_.endY) {
            goal_ = current;
            finished_ = true;
            return true;
        }
        for (const Step& s : kSteps) {
            if (s.diagonal && !parameters_.diagonalMoves) continue;
            const std::int32_t x = current->x + s.dx;
            const std::int32_t y = current->y + s.dy;
            if (!Inside(x, y, parameters_)) continue;
            const float cost = CellCost(x, y);
            if (cost == kBlocked) continue;
            Visit(current, x, y, current->g + (s.diagonal ? cost * step : cost));
        }
    }
    finished_ = true;
    return false;
}

void AStarPlanner::Visit(Node* from, std::int32_t x, std::int32_t y, float g) {
    const auto h = static_cast<float>(std::abs(parameters_.endX - x) + std::abs(parameters_.endY - y));
    const float f = (h - g) * parameters_.weight + g;
    Node*& node = cells_.At(x, y);
    if (node) {
        // Reached before: only a cheaper way changes it, and a closed cell
        // is opened again.
        if (node->g <= g) return;
        node->parent = from;
        node->g = g;
        node->f = f;
        if (node->openIndex == Node::kNotOpen) {
            open_.Push(node);
        } else {
            open_.Reenter(node);
        }
        return;
    }
    node = nodes_.Take();
    *node = Node{from, x, y, f, g, Node::kNotOpen, 0};
    open_.Push(node);
}

} // namespace vlm
