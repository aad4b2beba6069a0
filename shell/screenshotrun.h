#pragma once
// The screenshot run of kav-client: log in without the login dialog, load the window packages, open the
// window of every registered snap-in in the main window and photograph it, let the package's screenshot
// tour (host/snapin/screenshottour.h) open its dialogs, photograph each, and exit. One PNG per window,
// named after the window (its object name: "UIOrderHandler.png"), in the chosen folder.
//
// Nothing waits for a user: our modal dialogs are photographed and closed unanswered, message boxes are
// answered as Esc would and reported on standard error. Runs headless with QT_QPA_PLATFORM=offscreen.
//
// Threading: GUI thread only.

#include "shell/options.h"
#include "shell/packageloader.h"

namespace kav {

// Returns the exit code: 0 when logged in and every picture was saved, 1 otherwise (the reason on
// standard error). `packages` must hold the loaded window packages.
int RunScreenshots(const TScreenshotOptions& options, TPackageLoader& packages);

} // namespace kav
