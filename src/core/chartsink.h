// The diagnostic chart as the synthesis feeds it: cleared, then one point per sample in order,
// then told that the feed is complete so that a window can draw the whole batch at once.
#pragma once

namespace zk {

class ChartSink {
  public:
    virtual ~ChartSink() = default;
    virtual void Clear() = 0;
    virtual void AddPoint(double x, double y) = 0;
    virtual void EndOfPoints() {}
};

// A chart nobody looks at (the command line).
class NoChart : public ChartSink {
  public:
    void Clear() override {}
    void AddPoint(double, double) override {}
};

}  // namespace zk
