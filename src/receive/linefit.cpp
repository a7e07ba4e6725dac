#include "linefit.h"

#include <algorithm>

namespace zk::receive {

LineFit FitLine(const std::vector<double>& x, const std::vector<double>& y,
                const std::vector<double>& w) {
    double sw = 0, sx = 0, sy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sw += w[i];
        sx += w[i] * x[i];
        sy += w[i] * y[i];
    }
    LineFit fit;
    if (sw <= 0) {
        return fit;
    }
    fit.centre = sx / sw;
    const double my = sy / sw;
    double sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxx += w[i] * (x[i] - fit.centre) * (x[i] - fit.centre);
        sxy += w[i] * (x[i] - fit.centre) * (y[i] - my);
    }
    fit.slope = sxx > 0 ? sxy / sxx : 0.0;
    fit.intercept = my;
    return fit;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    const auto middle = values.begin() + static_cast<long>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

}  // namespace zk::receive
