#include "panelstate.h"

namespace zk {

PanelState::PanelState() {
    for (const auto& info : kCodeFields) {
        Code(info.field) = info.startText;
        colours[static_cast<std::size_t>(info.field)] = kColourWhite;
    }
    for (const auto& info : kCheckFields) {
        Check(info.field) = info.startChecked;
    }
    for (const auto& info : kSpinFields) {
        Spin(info.field) = info.start;
    }
}

}  // namespace zk
