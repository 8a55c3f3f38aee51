#pragma once

#include <string>

#include <QObject>
#include <QString>

class QLocalServer;

namespace ravolin {

// The way a second start of the program hands a file to the copy that runs: a local socket beside the
// single-instance lock (SingleInstance::channelPath), in the same private folder. The running copy listens;
// a start with a file connects, sends the file's path and waits for the copy to say it has taken it.
class InstanceChannelServer final : public QObject {
    Q_OBJECT
public:
    explicit InstanceChannelServer(QObject* parent = nullptr);

    // Listens at `path`. A socket left there by a copy that ended without removing it is replaced: only the
    // holder of the lock listens. False, with `error` set, when it can't.
    bool listen(const std::string& path, std::string& error);

signals:
    // A start handed over `file` (an absolute path).
    void fileRequested(const QString& file);

private:
    void takeConnection();

    QLocalServer* m_server;
};

// Hands `file` to the copy listening at `path`; true once that copy has taken it, false when none answers
// within `timeoutMs`.
bool handFileToInstance(const std::string& path, const std::string& file, int timeoutMs = 5000);

}  // namespace ravolin
