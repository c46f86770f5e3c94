// The keys of the settings file.
#pragma once

namespace vorlane::keys {

constexpr const wchar_t* kTarget = L"ping";
constexpr const wchar_t* kTryTimes = L"trytimes";
constexpr const wchar_t* kTryInterval = L"tryinterval";
constexpr const wchar_t* kCountdown = L"djs";
constexpr const wchar_t* kCommandLine = L"cmduser";
constexpr const wchar_t* kPlaySound = L"bwav";
constexpr const wchar_t* kShutDown = L"bshutdown";
constexpr const wchar_t* kFontSize = L"fontsize";
constexpr const wchar_t* kFontName = L"fontname";
constexpr const wchar_t* kPosLeft = L"posleft";
constexpr const wchar_t* kPosTop = L"postop";
constexpr const wchar_t* kHelpHost = L"helphost";
constexpr const wchar_t* kTimeout = L"timeout";
constexpr const wchar_t* kArmFirst = L"armfirst";
constexpr const wchar_t* kCancelOnUp = L"cancelonup";
constexpr const wchar_t* kRearm = L"rearm";
constexpr const wchar_t* kCommandUp = L"cmdup";
constexpr const wchar_t* kKeepLog = L"log";

}  // namespace vorlane::keys
