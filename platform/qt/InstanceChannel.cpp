#include "platform/qt/InstanceChannel.h"

#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>

namespace ravolin {
namespace {

// What the running copy answers once it has the file.
constexpr char kTaken = 'T';

}  // namespace

InstanceChannelServer::InstanceChannelServer(QObject* parent) : QObject(parent), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannelServer::takeConnection);
}

bool InstanceChannelServer::listen(const std::string& path, std::string& error) {
    const QString name = QString::fromStdString(path);
    if (!m_server->listen(name) && m_server->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(name);
        m_server->listen(name);
    }
    if (m_server->isListening()) return true;
    error = "cannot listen at " + path + ": " + m_server->errorString().toStdString();
    return false;
}

void InstanceChannelServer::takeConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            QString file;
            in >> file;
            // The path may come in pieces: wait for the rest.
            if (!in.commitTransaction()) return;
            socket->write(&kTaken, 1);
            socket->flush();
            if (!file.isEmpty()) emit fileRequested(file);
        });
    }
}

bool handFileToInstance(const std::string& path, const std::string& file, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(timeoutMs)) return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << QString::fromStdString(file);
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    char answer = 0;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs)) return false;
    }
    return socket.read(&answer, 1) == 1 && answer == kTaken;
}

}  // namespace ravolin
