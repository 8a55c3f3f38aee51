#pragma once

#include <functional>
#include <string>

namespace ravolin {

// SIGTERM, SIGHUP (a closing terminal) and SIGINT (Ctrl+C) are requests to end, as the end of the desktop
// session is: `onSignal` runs on the event loop and ends the program. The signal handler only writes a byte
// to a pipe. A blocked window can still be ended: a second request, or the first when the event loop has not
// taken it up within 2 s, ends the program with the signal's default action (SIGALRM times the 2 s). False,
// with `error` set, when the handlers could not be installed (the signals then keep their default action).
// Call once, after the QApplication exists.
bool handleTerminationSignals(std::function<void()> onSignal, std::string& error);

}  // namespace ravolin
