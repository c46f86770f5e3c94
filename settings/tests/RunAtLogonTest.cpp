#include "settings/RunAtLogon.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(RunAtLogon, TheValueWrittenForAnExeStartsThatExe) {
    for (const wchar_t* exe :
         {L"C:\\Program Files\\Vorlane 2\\Vorlane.exe", L"\\\\server\\tools\\Vorlane.exe",
          L"D:\\下载\\Vorlane", L"C:\\a.b c\\Vorlane.1.exe"}) {
        const std::wstring command = RunAtLogonCommand(exe);
        EXPECT_EQ(command.substr(command.size() - 6), L" /auto");
        EXPECT_EQ(ProgramOfCommand(command), exe);
    }
}

TEST(RunAtLogon, TheProgramOfAValueWrittenByHandIsItsFirstWord) {
    EXPECT_EQ(ProgramOfCommand(L"C:\\Tools\\Vorlane.exe /auto"), L"C:\\Tools\\Vorlane.exe");
    EXPECT_EQ(ProgramOfCommand(L" \t C:\\Tools\\Vorlane.exe\t/auto"), L"C:\\Tools\\Vorlane.exe");
    EXPECT_EQ(ProgramOfCommand(L"C:\\Tools\\Vorlane.exe"), L"C:\\Tools\\Vorlane.exe");
    EXPECT_EQ(ProgramOfCommand(L"  \"C:\\a b\\Vorlane.exe\"/auto"), L"C:\\a b\\Vorlane.exe");
    // Unquoted blanks end the program, as they do for the command line's
    // parser: never taken for this exe, so unticking leaves such a value be.
    EXPECT_EQ(ProgramOfCommand(L"C:\\Program Files\\Vorlane\\Vorlane.exe /auto"), L"C:\\Program");
    // An unclosed quote runs to the end.
    EXPECT_EQ(ProgramOfCommand(L"\"C:\\a b\\Vorlane.exe"), L"C:\\a b\\Vorlane.exe");
    // Nothing to start: never this exe.
    for (const wchar_t* nothing : {L"", L"   ", L"\t", L"\"\" /auto", L"\""}) {
        EXPECT_EQ(ProgramOfCommand(nothing), L"") << static_cast<int>(std::wstring(nothing).size());
    }
}

}  // namespace
}  // namespace vorlane
