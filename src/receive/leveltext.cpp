#include "leveltext.h"

#include <cstdio>

namespace zk::receive {

bool IsSilence(double peakDbfs) {
    return peakDbfs <= kSilenceDbfs;
}

std::string PeakLevelText(double peakDbfs) {
    if (IsSilence(peakDbfs)) {
        return "silent";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dBFS", peakDbfs);
    return text;
}

}  // namespace zk::receive
