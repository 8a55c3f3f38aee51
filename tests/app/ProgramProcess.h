#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QProcess>
#include <QTemporaryDir>

#include "testsupport/TempSettingsDir.h"
#include "testsupport/XvfbServer.h"

namespace ravolin {

// A lock directory as the program accepts one: a fresh folder only its owner may enter.
inline bool makePrivateRuntimeDir(const QTemporaryDir& runtime) {
    return runtime.isValid() && chmod(runtime.path().toLocal8Bit().constData(), 0700) == 0;
}

// The X server and the lock directory of a test that runs the real program.
inline ::testing::AssertionResult startStage(XvfbServer& x, const QTemporaryDir& runtime) {
    if (!x.start()) return ::testing::AssertionFailure() << x.error().toStdString();
    if (!makePrivateRuntimeDir(runtime)) return ::testing::AssertionFailure() << "no private lock directory";
    return ::testing::AssertionSuccess();
}

// Makes `program` the real Ravolin, started in `work` with `runtime` as its lock directory and `env` as the
// rest of its environment. Under the sanitizers, what libdbus keeps until exit is not the program's leak.
inline void prepareProgram(QProcess& program, QProcessEnvironment env, const QTemporaryDir& runtime,
                           const TempSettingsDir& work) {
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("LSAN_OPTIONS", env.value("LSAN_OPTIONS") + ":suppressions=" RAVOLIN_LSAN_SUPPRESSIONS);
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QString::fromStdString(work.directory()));
    program.setProgram(RAVOLIN_EXECUTABLE);
}

}  // namespace ravolin
