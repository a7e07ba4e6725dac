// Small statistics the decoder's fits share.
#pragma once

#include <vector>

namespace zk::receive {

struct LineFit {
    double slope = 0;
    double intercept = 0;  // at `centre`
    double centre = 0;
};

// Weighted least squares of y on x.
LineFit FitLine(const std::vector<double>& x, const std::vector<double>& y,
                const std::vector<double>& w);

// The middle value (the upper one of an even count); 0 for none.
double Median(std::vector<double> values);

}  // namespace zk::receive
