#include "errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace zk {
namespace {

TEST(Errors, FileMessagesNameTheFullPathAndTheSystemTextWithoutItsStop) {
    EXPECT_STREQ(FileCreateError("/tmp/x/_qq.wav", EISDIR).what(),
                 "Cannot create file \"/tmp/x/_qq.wav\". Is a directory");
    EXPECT_STREQ(FileOpenError("/w/help.rtf", ENOENT).what(),
                 "Cannot open file \"/w/help.rtf\". No such file or directory");
    EXPECT_EQ(TrimTrailingStops("Disk full. \r\n"), "Disk full");
    EXPECT_EQ(TrimTrailingStops("..."), "");
    EXPECT_STREQ(PlaybackError("/w/_qq.wav", "No such device.").what(),
                 "Cannot play file \"/w/_qq.wav\". No such device");
}

TEST(Errors, FullPathResolvesAgainstTheWorkingDirectory) {
    EXPECT_EQ(FullPath("_qq.wav"), (std::filesystem::current_path() / "_qq.wav").string());
    EXPECT_EQ(FullPath("/abs/9_fmsig.h"), "/abs/9_fmsig.h");
}

TEST(Errors, InOutCodesAndTheirMessages) {
    EXPECT_EQ(InOutMessage(2), "File not found");
    EXPECT_EQ(InOutMessage(3), "Invalid filename");
    EXPECT_EQ(InOutMessage(4), "Too many open files");
    EXPECT_EQ(InOutMessage(5), "File access denied");
    EXPECT_EQ(InOutMessage(100), "Read beyond end of file");
    EXPECT_EQ(InOutMessage(101), "Disk full");
    EXPECT_EQ(InOutMessage(106), "Invalid numeric input");
    EXPECT_EQ(InOutMessage(32), "I/O error 32");

    EXPECT_EQ(InOutCodeFromErrno(ENOENT), 2);
    for (int e : {ENOTDIR, ENAMETOOLONG, ELOOP}) {
        EXPECT_EQ(InOutCodeFromErrno(e), 3) << e;
    }
    for (int e : {EMFILE, ENFILE}) {
        EXPECT_EQ(InOutCodeFromErrno(e), 4) << e;
    }
    for (int e : {EACCES, EPERM, EROFS, EISDIR, ETXTBSY}) {
        EXPECT_EQ(InOutCodeFromErrno(e), 5) << e;
    }
    EXPECT_EQ(InOutCodeFromErrno(ENOSPC), 101);
    EXPECT_EQ(InOutCodeFromErrno(EDQUOT), 101);
    EXPECT_EQ(InOutCodeFromErrno(EIO), EIO);

    const InOutError error(InOutCodeFromErrno(ENOSPC));
    EXPECT_EQ(error.code(), 101);
    EXPECT_STREQ(error.what(), "Disk full");
}

TEST(ErrorBox, CaptionIsTheFileNameUpToTheFirstDotWithTheRestLowerCase) {
    EXPECT_EQ(ErrorBoxCaption("/usr/bin/zk77q3-programmer"), "zk77q3-programmer");
    EXPECT_EQ(ErrorBoxCaption("/opt/Zk77Q3-Programmer.bin"), "Zk77q3-programmer");
    EXPECT_EQ(ErrorBoxCaption("./PR_221_1.EXE"), "Pr_221_1");
    EXPECT_EQ(ErrorBoxCaption("ПРОГРАММАТОР.exe"), "Программатор");
    EXPECT_EQ(ErrorBoxCaption("a.b.c"), "a");
    EXPECT_EQ(ErrorBoxCaption(""), "");
}

TEST(ErrorBox, StopIsAddedOnlyWhenTheLastCharacterIsAboveTheStop) {
    EXPECT_EQ(ErrorBoxMessage("Disk full"), "Disk full.");
    EXPECT_EQ(ErrorBoxMessage("Range check error"), "Range check error.");
    EXPECT_EQ(ErrorBoxMessage("done."), "done.");
    EXPECT_EQ(ErrorBoxMessage("(x)"), "(x)");       // ')' is below '.'
    EXPECT_EQ(ErrorBoxMessage("path/"), "path/.");  // '/' is just above
    EXPECT_EQ(ErrorBoxMessage("I/O error 32"), "I/O error 32.");
    EXPECT_EQ(ErrorBoxMessage("нет ошибок"), "нет ошибок.");  // judged by character, not byte
    EXPECT_EQ(ErrorBoxMessage("trailing space "), "trailing space ");
    EXPECT_EQ(ErrorBoxMessage(""), "");
}

}  // namespace
}  // namespace zk
