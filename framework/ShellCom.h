// COM for the shell on the UI thread, begun when first needed.
#pragma once

namespace framework {

// ShellExecute may hand what it opens to shell extensions that need COM,
// apartment-threaded, on the calling thread. Call this before each such call
// on the UI thread (the one thread that makes them): the first call begins
// COM there. Begun at start-up instead, it delayed the settings dialog.
void BeginShellCom();

// Ends what BeginShellCom began; wWinMain calls it on its way out.
void EndShellCom();

}  // namespace framework
