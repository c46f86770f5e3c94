// Program entry: the command line and the one-copy rule first, then the
// application, which runs from its start to its end (app/App_win.h).
#include <windows.h>
#include <commctrl.h>

#include "app/App_win.h"
#include "app/CommandLine.h"
#include "app/ServiceView_win.h"
#include "app/SingleInstance_win.h"
#include "app/UiLanguage_win.h"
#include "core/EventLog_win.h"
#include "core/SettingsPlace.h"
#include "core/Trace.h"
#include "framework/ShellCom.h"
#include "service/EventLogSink_win.h"
#include "app/ServiceMain_win.h"
#include "service/Setup_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // DLLs named without a path come from the system folder only, never from
    // beside the exe (often Downloads, where anything can be dropped under a
    // system DLL's name). This covers every load from here on: LoadLibrary and
    // the delay-loaded DLLs, loaded at their first call. What loads before
    // this line (static imports, static constructors) the linker's
    // dependent-load flag covers where the linker has one (CMakeLists.txt).
    // Looked up: Windows 7 has it only with update KB2533623.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    if (const auto restrictDllSearch =
            reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"))))
        restrictDllSearch(LOAD_LIBRARY_SEARCH_SYSTEM32);
    vorlane::Trace(L"start", L"main");
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    const vorlane::StartOptions options = vorlane::ParseCommandLine(::GetCommandLineW());
    // Installing or removing the service is all such a start does.
    if (options.install || options.uninstall) {
        vorlane::UseLanguage(vorlane::StoredLanguageKey(vorlane::FindSettingsPlace()));
        return vorlane::RunSetupCommand(options.install, options.installSettings, options.quiet,
                                        vorlane::SetupArgumentsRefused(options));
    }
    // Started by the service manager: no window, no one-copy rule of the
    // desktop (the manager runs one service of a name).
    const bool service = options.service && options.unknown.empty() && !options.autoStart;
    // Before the first line of the log: the Event Log has them all.
    vorlane::MirrorLogToEventLog(service);
    if (service) return vorlane::RunService(instance);
    // Before anything is shown or written: a second copy on the same
    // settings file only brings the first to the front and ends. Taken
    // before the box below, so that two starts while it waits for OK cannot
    // both go on. (With nowhere to save, the file read beside the exe stands
    // for it.)
    const vorlane::SettingsPlace place = vorlane::FindSettingsPlace();
    const vorlane::SingleInstanceGuard oneCopy(place.path.empty() ? place.seed : place.path);
    if (!options.unknown.empty()) {
        // Said in the language of the settings file, which the application
        // has not read yet.
        vorlane::UseLanguage(vorlane::StoredLanguageKey(place));
        // Named to the person, never traced or logged: it may be anything.
        vorlane::Trace(L"window", L"unknown-arguments");
        vorlane::ProgramLog().write(
            "warning", vorlane::LogDetails().add(
                           L"text", vorlane::UnknownArgumentsLogText(options.unknown.size())));
        const std::wstring text = vorlane::UnknownArgumentsText(options.unknown);
        ::MessageBoxW(nullptr, text.c_str(), L"Vorlane", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    }
    if (!oneCopy.isFirst()) {
        vorlane::Trace(L"window", L"second-copy");
        oneCopy.bringRunningCopyToFront();
        return 0;
    }

    // The desktop program, or the view of the running service; the dialog
    // of either may install or remove the service and so turn one into the
    // other.
    int exitCode = 0;
    for (bool view = vorlane::ServiceToView();;) {
        if (view) {
            vorlane::ServiceView serviceView(instance, place);
            exitCode = serviceView.run();
        } else {
            vorlane::App app(instance, options, place);
            exitCode = app.run();
        }
        if (exitCode != vorlane::kRunAsView && exitCode != vorlane::kRunAsDesktop) break;
        view = exitCode == vorlane::kRunAsView;
        exitCode = 0;
    }
    vorlane::Trace(L"window", L"exit-end");
    framework::EndShellCom();
    return exitCode;
}
