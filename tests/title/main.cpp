// The title-page tests need a QApplication; they always run on the offscreen platform, also when
// ctest lists them at build time without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <vector>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::vector<char*> args(argv, argv + argc);
    char platformOption[] = "-platform";
    char platformName[] = "offscreen";
    args.push_back(platformOption);
    args.push_back(platformName);
    int qtArgc = static_cast<int>(args.size());
    args.push_back(nullptr);
    QApplication app(qtArgc, args.data());
    return RUN_ALL_TESTS();
}
