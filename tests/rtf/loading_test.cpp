// Loading the help file: rich text, the plain-text fallback, and the faults.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QTextBlock>
#include <QTextDocument>

#include <filesystem>
#include <string>

#include "documents.h"
#include "workfolder.h"

namespace zk::testing {
namespace {

using namespace std::string_literals;

// Loads `name` into a document that shows "RichEdit1"; returns the fault's message, if any.
std::string LoadFile(QTextDocument& document, const std::string& name) {
    document.setPlainText("RichEdit1");
    try {
        LoadRichTextFile(document, name);
    } catch (const Fault& fault) {
        return fault.what();
    }
    return {};
}

TEST(HelpFile, RichTextFileIsLoadedFromTheWorkingFolder) {
    WorkFolder folder;
    WriteFile(folder.path() / "help.rtf",
              "{\\rtf1\\ansi\\ansicpg1251 \\'d1\\'ef\\'f0\\'e0\\'e2"
              "\\'ea\\'e0\\par}\0"s);
    QTextDocument document;
    EXPECT_EQ(LoadFile(document, "help.rtf"), "");
    EXPECT_EQ(document.toPlainText(), "Справка");
    EXPECT_FALSE(document.isUndoAvailable());
}

TEST(HelpFile, MissingFolderOrLockedFileGivesCannotOpenWithTheFullPath) {
    WorkFolder folder;
    const std::string full = (folder.path() / "help.rtf").string();
    QTextDocument document;
    EXPECT_EQ(LoadFile(document, "help.rtf"),
              "Cannot open file \"" + full + "\". No such file or directory");
    EXPECT_EQ(document.toPlainText(), "RichEdit1");

    std::filesystem::create_directory(folder.path() / "help.rtf");
    EXPECT_EQ(LoadFile(document, "help.rtf"), "Cannot open file \"" + full + "\". Is a directory");
    std::filesystem::remove(folder.path() / "help.rtf");

    // A program writing the file holds it locked; the file is left to it.
    WriteFile(folder.path() / "help.rtf", "{\\rtf1 text}");
    const int writer = ::open("help.rtf", O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(LoadFile(document, "help.rtf"),
              "Cannot open file \"" + full + "\". Resource temporarily unavailable");
    EXPECT_EQ(document.toPlainText(), "RichEdit1");
    ::close(writer);
    EXPECT_EQ(LoadFile(document, "help.rtf"), "");
    EXPECT_EQ(document.toPlainText(), "text");
}

TEST(HelpFile, NulBytesFailPlainTextAndLeaveTheDocumentAsItWas) {
    WorkFolder folder;
    QTextDocument document;
    for (const std::string& bytes :
         {"text\0more"s, "\0"s, "\xFF\xFEh\0e\0l\0p\0"s, " {\\rtf1 text}\0"s}) {
        WriteFile(folder.path() / "help.rtf", bytes);
        EXPECT_EQ(LoadFile(document, "help.rtf"), "Failed to Load Stream");
        EXPECT_EQ(document.toPlainText(), "RichEdit1");
    }
}

TEST(PlainText, StreamsThatAreNotRichTextAreShownUnchanged) {
    // UTF-8, line ends of every kind.
    EXPECT_EQ(Paragraphs(*Load("Справка\r\nпо \\b программе\rZK-77q3\n")),
              QStringList({"Справка", "по \\b программе", "ZK-77q3", ""}));
    // Not UTF-8: Windows-1251, its unassigned byte marked.
    EXPECT_EQ(Text("\xD1\xEF\xF0\xE0\xE2\xEA\xE0 \x98 \xB9"), "Справка \uFFFD №");
    // Rich text only from the very first byte: a byte-order mark or a blank before it is enough
    // to make the whole stream plain text. The mark itself is no text.
    EXPECT_EQ(Text("\xEF\xBB\xBF{\\rtf1\\ansi \\b Hello\\par}"), "{\\rtf1\\ansi \\b Hello\\par}");
    EXPECT_EQ(Text(" {\\rtf1 x}"), " {\\rtf1 x}");
    EXPECT_EQ(Text("{\\RTF1 x}"), "{\\RTF1 x}");
    EXPECT_EQ(Text("{\\rt"), "{\\rt");
    // Plain text keeps the document's default font, no formatting of its own.
    auto document = Load("plain");
    EXPECT_FALSE(FormatOf(*document, "plain").hasProperty(QTextFormat::FontPointSize));
}

TEST(PlainText, AnEmptyFileIsAnEmptyText) {
    WorkFolder folder;
    WriteFile(folder.path() / "help.rtf", "");
    QTextDocument document;
    EXPECT_EQ(LoadFile(document, "help.rtf"), "");
    EXPECT_TRUE(document.isEmpty());
}

TEST(HelpFile, TheShippedHelpReadsAsRussianRichText) {
    const std::string bytes = ReadFile(ZK_HELP_FILE);
    ASSERT_TRUE(bytes.starts_with("{\\rtf1"));
    auto document = Load(bytes);
    const QString text = document->toPlainText();
    for (const char* expected : {"Программатор эхо-репитера ZK-77q3", " *** нет ошибок ***",
                                 " код должен иметь одну или 4 цифры",
                                 " символы должны быть:   0,1,2,3,4,5,6,7,8,9,A,B,C,D,*,#",
                                 "_qq.wav", "9_fmsig.h", "сформировать", "выдать"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    }
    EXPECT_FALSE(text.contains(u'\uFFFD'));
    EXPECT_FALSE(text.contains(u'\\'));
    EXPECT_FALSE(text.contains(u'{'));
    EXPECT_EQ(FormatOf(*document, "Программатор эхо-репитера").fontWeight(), QFont::Bold);
    EXPECT_FALSE(document->lastBlock().text().isEmpty());
}

// The window checks the help file at start and builds its document only when the help page is
// first shown, outside the error box: the check must refuse exactly what loading would refuse.
TEST(HelpFile, TheCheckAtStartRefusesExactlyWhatLoadingRefuses) {
    const std::string streams[] = {
        "{\\rtf1 text}"s,
        "{\\urtf1 text}"s,
        "{\\rtf1 unclosed"s,
        "plain text\r\n"s,
        "\xEF\xBB\xBFUTF-8 \xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"s,
        "Windows-1251 \xcf\xf0\xe8"s,
        ""s,
        "not\0text"s,
        " {\\rtf1 late brace\0}"s,
        "{\\rtf1 \0 NUL inside rich text}"s,
    };
    for (const std::string& bytes : streams) {
        SCOPED_TRACE(bytes);
        bool checked = true;
        try {
            CheckRichText(bytes);
        } catch (const StreamLoadError&) {
            checked = false;
        }
        bool loaded = true;
        QTextDocument document;
        try {
            LoadRichText(document, bytes);
        } catch (const StreamLoadError&) {
            loaded = false;
        }
        EXPECT_EQ(checked, loaded);
    }
}

}  // namespace
}  // namespace zk::testing
