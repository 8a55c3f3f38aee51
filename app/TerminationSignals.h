#pragma once

#include <functional>
#include <string>

namespace ravolin {

// SIGTERM, SIGHUP (a closing terminal) and SIGINT (Ctrl+C) are requests to end, as the end of the desktop
// session is: `onSignal` runs on the event loop and ends the program. The signal handler only writes a byte
// to a pipe. False, with `error` set, when the handlers could not be installed (the signals then keep their
// default action). Call once, after the QApplication exists.
bool handleTerminationSignals(std::function<void()> onSignal, std::string& error);

}  // namespace ravolin
