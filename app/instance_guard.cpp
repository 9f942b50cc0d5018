#include "app/instance_guard.h"

#include <unistd.h>
#include <QLocalSocket>

#include <pwd.h>

namespace ledgora::app {

namespace {
constexpr char kKindCommandLine = 1;
constexpr char kKindBringForward = 0;
// A hand-over is a path: anything longer is not one.
constexpr qint64 kMaxMessage = 64 * 1024;
}  // namespace

CInstanceGuard::CInstanceGuard(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {
  connect(&server_, &QLocalServer::newConnection, this, &CInstanceGuard::Accept);
}

CInstanceGuard::~CInstanceGuard() {
  server_.close();
}

QString CInstanceGuard::DefaultName() {
  QString user = qEnvironmentVariable("USER");
  if (user.isEmpty()) {
    if (const passwd* pw = getpwuid(getuid())) user = QString::fromLocal8Bit(pw->pw_name);
  }
  if (user.isEmpty()) user = QString::number(getuid());
  return "LEDGOR-" + user;
}

bool CInstanceGuard::HandOver(const std::string& command_line, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeout_ms)) return false;
  QByteArray message;
  if (command_line.empty()) {
    message.append(kKindBringForward);
  } else {
    message.append(kKindCommandLine);
    message.append(command_line.data(), static_cast<qsizetype>(command_line.size()));
    message.append('\0');
  }
  socket.write(message);
  socket.waitForBytesWritten(timeout_ms);
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeout_ms);
  return true;
}

bool CInstanceGuard::Listen() {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(name_)) return true;
  // Nobody answered HandOver: the socket file is a leftover.
  QLocalServer::removeServer(name_);
  return server_.listen(name_);
}

void CInstanceGuard::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer] {
      buffer->append(socket->readAll());
      if (buffer->size() > kMaxMessage) socket->abort();
    });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer] {
      buffer->append(socket->readAll());
      socket->deleteLater();
      if (buffer->isEmpty() || buffer->size() > kMaxMessage) return;
      QString command_line;
      if (buffer->at(0) == kKindCommandLine) {
        QByteArray text = buffer->mid(1);
        const qsizetype end = text.indexOf('\0');
        if (end >= 0) text.truncate(end);
        command_line = QString::fromUtf8(text);
      }
      emit CommandLineReceived(command_line);
    });
  }
}

}  // namespace ledgora::app
