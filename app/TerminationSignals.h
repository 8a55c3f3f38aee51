#pragma once

#include <string>

namespace ravolin {

// SIGTERM, SIGINT and SIGHUP end the program as logging off does: every event loop
// returns, nothing is asked and nothing is saved, and a run still active is left to end on its own. The
// signal handler only writes a byte to a pipe; the application is quit from the event loop. False, with
// `error` set, when the handlers could not be installed (the signals then keep their default action).
// Call once, after the QApplication exists.
bool quitOnTerminationSignals(std::string& error);

}  // namespace ravolin
