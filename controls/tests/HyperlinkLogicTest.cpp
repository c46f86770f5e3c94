#include "controls/HyperlinkLogic.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vorlane {
namespace link {
namespace {

const wchar_t kAddress[] = L"http://www.vorlane.example/software-vrln.htm";

TEST(HyperlinkFallbackCommand, CutsAtThePlaceholderAndAppendsTheAddress) {
    const std::wstring address = kAddress;
    // Quoted placeholder: the quotes go with it.
    EXPECT_EQ(FallbackCommandLine(L"\"C:\\Browser\\b.exe\" \"%1\"", address),
              L"\"C:\\Browser\\b.exe\"  " + address);
    // Bare placeholder.
    EXPECT_EQ(FallbackCommandLine(L"C:\\b.exe -url %1", address), L"C:\\b.exe -url  " + address);
    // No placeholder: nothing is cut.
    EXPECT_EQ(FallbackCommandLine(L"C:\\b.exe -nohome", address), L"C:\\b.exe -nohome " + address);
    // Whatever follows the placeholder is lost.
    EXPECT_EQ(FallbackCommandLine(L"b.exe \"%1\" -new-window %2", address), L"b.exe  " + address);
    EXPECT_EQ(FallbackCommandLine(L"b.exe %1 -flag", address), L"b.exe  " + address);
    // The quoted form wins even when a bare %1 comes first.
    EXPECT_EQ(FallbackCommandLine(L"b.exe %1x \"%1\"", address), L"b.exe %1x  " + address);
}

TEST(HyperlinkFallbackCommand, LongClassCommandIsKeptWhole) {
    // Far beyond what a fixed 520-byte buffer would hold.
    const std::wstring program = L"\"C:\\" + std::wstring(3000, L'p') + L".exe\" ";
    const std::wstring address = L"http://host/" + std::wstring(1000, L'a');
    const std::wstring line = FallbackCommandLine(program + L"\"%1\" --after", address);
    EXPECT_EQ(line, program + L" " + address);

    const std::wstring noPlaceholder = FallbackCommandLine(program, address);
    EXPECT_EQ(noPlaceholder.size(), program.size() + 1 + address.size());
}

TEST(HyperlinkOpenFailure, EveryCodeOfTheTableAndTheDefault) {
    const std::wstring prefix = L"Unable to open hyperlink:\n\n";
    const std::vector<std::pair<int, std::wstring>> table = {
        {0, L"The operating system is out\nof memory or resources."},
        {2, L"The specified file was not found."},
        {3, L"The specified path was not found."},
        {5, L"The operating system denied\naccess to the specified file."},
        {8, L"There was not enough memory to complete the operation."},
        {11, L"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, L"A sharing violation occurred. "},
        {27, L"The filename association is\nincomplete or invalid."},
        {28, L"The DDE transaction could not\nbe completed because the request timed out."},
        {29, L"The DDE transaction failed."},
        {30,
         L"The DDE transaction could not\nbe completed because other DDE transactions\n"
         L"were being processed."},
        {31, L"There is no application associated\nwith the given filename extension."},
        {32, L"The specified dynamic-link library was not found."},
        {4, L"Unknown Error (4) occurred."},
        {-1, L"Unknown Error (-1) occurred."},
        {33, L"Unknown Error (33) occurred."},
    };
    for (const auto& [code, text] : table) {
        EXPECT_EQ(OpenFailureMessage(code), prefix + text) << "code " << code;
    }
}

TEST(HyperlinkOpenFailure, ProcessStartFailuresNeverReadAsSuccess) {
    EXPECT_EQ(ProcessStartFailureCode(2), 2);     // file not found
    EXPECT_EQ(ProcessStartFailureCode(193), 11);  // bad exe format
    EXPECT_EQ(ProcessStartFailureCode(32), 26);   // sharing violation
    EXPECT_EQ(ProcessStartFailureCode(14), 8);    // out of memory
    // Errors the shell has no code for stay recognisable and below 33.
    EXPECT_EQ(ProcessStartFailureCode(740), -740);
    EXPECT_EQ(ProcessStartFailureCode(87), -87);
    EXPECT_EQ(ProcessStartFailureCode(26), -26);  // not the sharing violation of the table
    EXPECT_LE(ProcessStartFailureCode(0xFFFFFFFFul), 32);
    EXPECT_LE(ProcessStartFailureCode(0x80070005ul), 32);
}

// A control at (10, 20) with a 2-pixel frame on each side: window 100 x 30,
// client 96 x 26.
const Rect kWindow{10, 20, 110, 50};
const int kClientW = 96;
const int kClientH = 26;

TEST(HyperlinkFitToText, LeftAlignedKeepsTheTopLeftCorner) {
    EXPECT_EQ(FitToText(kWindow, kClientW, kClientH, 40, 12, 0), (Rect{10, 20, 54, 36}));
    // Text larger than the control grows it the same way.
    EXPECT_EQ(FitToText(kWindow, kClientW, kClientH, 200, 40, 0), (Rect{10, 20, 214, 64}));
    // No frame: exactly the text's size.
    EXPECT_EQ(FitToText(Rect{7, 9, 40, 17}, 33, 8, 48, 12, 0), (Rect{7, 9, 55, 21}));
}

TEST(HyperlinkFitToText, RightAlignedKeepsTheRightEdge) {
    EXPECT_EQ(FitToText(kWindow, kClientW, kClientH, 40, 12, kStyleRight), (Rect{66, 20, 110, 36}));
}

TEST(HyperlinkFitToText, CentredKeepsTheHorizontalCentre) {
    // Even difference: 100 - 44 = 56, each side moves by 28.
    EXPECT_EQ(FitToText(kWindow, kClientW, kClientH, 40, 12, kStyleCenter), (Rect{38, 20, 82, 36}));
    // Odd difference, control larger: 100 - 45 = 55, d = 27, one pixel above the text.
    Rect larger = FitToText(kWindow, kClientW, kClientH, 41, 12, kStyleCenter);
    EXPECT_EQ(larger, (Rect{37, 20, 83, 36}));
    EXPECT_EQ(larger.right - larger.left, 46);
    // Odd difference, control smaller: 100 - 151 = -51, d = -25, one pixel below.
    Rect smaller = FitToText(kWindow, kClientW, kClientH, 147, 12, kStyleCenter);
    EXPECT_EQ(smaller, (Rect{-15, 20, 135, 36}));
    EXPECT_EQ(smaller.right - smaller.left, 150);
    // SS_CENTER is tested before SS_RIGHT.
    EXPECT_EQ(FitToText(kWindow, kClientW, kClientH, 40, 12, kStyleCenter | kStyleRight),
              (Rect{38, 20, 82, 36}));
}

TEST(HyperlinkFitToText, CentreImageKeepsTheVerticalCentre) {
    // Even difference: 30 - 16 = 14, top and bottom move by 7.
    EXPECT_EQ(FitToText(kWindow, kClientW, kClientH, 40, 12, kStyleCenterImage),
              (Rect{10, 27, 54, 43}));
    // Odd, larger: 30 - 17 = 13, d = 6, height 18.
    EXPECT_EQ(FitToText(kWindow, kClientW, kClientH, 40, 13, kStyleCenterImage),
              (Rect{10, 26, 54, 44}));
    // Odd, smaller: 30 - 37 = -7, d = -3, height 36.
    EXPECT_EQ(FitToText(kWindow, kClientW, kClientH, 40, 33, kStyleCenterImage),
              (Rect{10, 17, 54, 53}));
    // Both centred.
    EXPECT_EQ(FitToText(kWindow, kClientW, kClientH, 40, 12, kStyleCenterImage | kStyleCenter),
              (Rect{38, 27, 82, 43}));
}

TEST(HyperlinkTextColor, HoverOverVisitedOverUnvisited) {
    EXPECT_EQ(TextColor(false, false), 0x00EE0000u);
    EXPECT_EQ(TextColor(false, true), 0x008B1A55u);
    EXPECT_EQ(TextColor(true, false), 0x000000FFu);
    EXPECT_EQ(TextColor(true, true), 0x000000FFu);
}

}  // namespace
}  // namespace link
}  // namespace vorlane
