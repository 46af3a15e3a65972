// The grid planner: a best-first search over a grid of cell costs, from a
// start cell to an end cell. A planner is set up for one map, reset, run
// once and released; nothing is kept between searches of different maps.
#pragma once

#include <cstdint>
#include <vector>

#include "pathfinding/nodes.h"

namespace vlm {

struct PlannerParameters {
    std::int32_t startX = 0, startY = 0, endX = 0, endY = 0;
    bool diagonalCost = true;   // a diagonal step costs the entered cell times 1.4142137
    bool diagonalMoves = false; // the four diagonal neighbours are considered
    // 0 orders by the cost so far alone (least-cost routes), 1 by the
    // distance left alone (greedy); clamped to [0, 1].
    float weight = 0.0f;
    std::int32_t width = 0, height = 0;
    const double* costs = nullptr; // width × height cell costs, x fastest
};

class Planner {
public:
    Planner() = default;
    virtual ~Planner() = default;
    Planner(const Planner&) = delete;
    Planner& operator=(const Planner&) = delete;

    // Checks the cells and builds the working cost grid: a cost above 0
    // makes a cell passable, anything else blocks it. False (nothing done)
    // when a cell lies outside the grid or start and end are the same.
    bool SetUp(const PlannerParameters& parameters);
    // Clears the search; a planner puts its start node in the open list.
    virtual void Reset();
    // Runs the search to its end; true when the end cell was reached.
    virtual bool Search() = 0;
    // Gives every node back to the pool and empties both lists.
    virtual void Release();

    bool Finished() const { return finished_; }
    // The end cell's node after a successful search; follow `parent` back to the start.
    const Node* Goal() const { return goal_; }

protected:
    // The working cost of a cell: kBlocked, or from 1 to 2.
    float CellCost(std::int32_t x, std::int32_t y) const {
        return costs_[static_cast<std::size_t>(y) * static_cast<std::size_t>(parameters_.width) +
                      static_cast<std::size_t>(x)];
    }
    static constexpr float kBlocked = -1.0f;

    bool finished_ = true;
    NodeFactory nodes_;
    PlannerParameters parameters_;
    std::vector<float> costs_;
    NodeHeap open_;
    NodeHashTable cells_; // every node by its cell, open or closed
    Node* goal_ = nullptr;
};

// The weighted best-first search: f = (h - g) × weight + g, with g the
// cost so far and h the Manhattan distance to the end. Among equal f the
// node that entered the open list first is expanded first.
class AStarPlanner final : public Planner {
public:
    void Reset() override;
    bool Search() override;

private:
    // Reaches the neighbour (x, y) of `from` with the cost so far `g`.
    void Visit(Node* from, std::int32_t x, std::int32_t y, float g);
};

} // namespace vlm
