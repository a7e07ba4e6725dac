#include "xdgfolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "scopedvariable.h"

namespace zk {
namespace {

using testing::ScopedVariable;

TEST(XdgFolders, TheVariableWhenAbsoluteElseTheHomeDefaultElseNothing) {
    struct Case {
        std::optional<std::string> xdg, home;
        std::string config, state;
    };
    const std::vector<Case> cases{
        {"/x", "/h", "/x/zk77q3", "/x/zk77q3"},
        {"relative", "/h", "/h/.config/zk77q3", "/h/.local/state/zk77q3"},
        {std::nullopt, "/h", "/h/.config/zk77q3", "/h/.local/state/zk77q3"},
        {"", "/h", "/h/.config/zk77q3", "/h/.local/state/zk77q3"},
        {std::nullopt, "", "", ""},
        {std::nullopt, std::nullopt, "", ""},
    };
    for (const Case& c : cases) {
        const ScopedVariable home("HOME", c.home);
        const ScopedVariable config("XDG_CONFIG_HOME", c.xdg);
        const ScopedVariable state("XDG_STATE_HOME", c.xdg);
        EXPECT_EQ(ConfigFolder().string(), c.config) << c.xdg.value_or("(unset)");
        EXPECT_EQ(StateFolder().string(), c.state) << c.xdg.value_or("(unset)");
    }
}

}  // namespace
}  // namespace zk
