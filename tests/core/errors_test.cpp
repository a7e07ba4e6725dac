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

    const auto messageOf = [](int errnoValue) {
        return std::string(InOutError::FromErrno(errnoValue).what());
    };
    EXPECT_EQ(messageOf(ENOENT), "File not found");
    for (int e : {ENOTDIR, ENAMETOOLONG, ELOOP}) {
        EXPECT_EQ(messageOf(e), "Invalid filename") << e;
    }
    for (int e : {EMFILE, ENFILE}) {
        EXPECT_EQ(messageOf(e), "Too many open files") << e;
    }
    for (int e : {EACCES, EPERM, EROFS, EISDIR, ETXTBSY}) {
        EXPECT_EQ(messageOf(e), "File access denied") << e;
    }
    EXPECT_EQ(messageOf(ENOSPC), "Disk full");
    EXPECT_EQ(InOutError::FromErrno(EDQUOT).code(), 101);

    // An errno value without a decided code keeps its own number, even where that number is also
    // a code of the table: EINTR is 4, EIO 5, ESRCH 3, ENETUNREACH 101.
    for (int e : {EINTR, EIO, ESRCH, ENETUNREACH, EFBIG, ENXIO}) {
        EXPECT_EQ(messageOf(e), "I/O error " + std::to_string(e)) << e;
        EXPECT_EQ(InOutError::FromErrno(e).code(), e);
    }

    EXPECT_STREQ(InOutError(5, "\"/w/9_fmsig.h\". It is a socket.").what(),
                 "File access denied: \"/w/9_fmsig.h\". It is a socket");
    EXPECT_STREQ(FileCreateError("/w/_qq.wav", std::string_view("It is a terminal. ")).what(),
                 "Cannot create file \"/w/_qq.wav\". It is a terminal");
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
