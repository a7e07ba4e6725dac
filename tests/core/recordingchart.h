// A chart that remembers what the synthesis fed it.
#pragma once

#include <utility>
#include <vector>

#include "chartsink.h"

namespace zk::testing {

class RecordingChart : public ChartSink {
  public:
    void Clear() override {
        points.clear();
        ++clears;
    }
    void AddPoint(double x, double y) override { points.emplace_back(x, y); }
    void EndOfPoints() override { ++ends; }

    std::vector<std::pair<double, double>> points;
    int clears = 0;
    int ends = 0;
};

}  // namespace zk::testing
