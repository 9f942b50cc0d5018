// One instance per user: the first instance listens on a local socket named
// after the window class "LEDGOR" and the user; a second one finds it, hands
// over its command line and quits.
//
// What travels: one byte of data kind (1: a command line follows, 0: only
// bring the window forward), then the command line in UTF-8 with its
// terminator.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <string>

namespace ledgora::app {

class CInstanceGuard : public QObject {
  Q_OBJECT
 public:
  // name: the socket name (DefaultName() for the program).
  explicit CInstanceGuard(QString name, QObject* parent = nullptr);
  ~CInstanceGuard() override;

  // "LEDGOR-" followed by the user's name.
  static QString DefaultName();

  // True when a running instance answered: it has the command line (when
  // not empty) and this instance must quit.
  bool HandOver(const std::string& command_line, int timeout_ms = 2000);
  // Becomes the running instance. A socket left by an instance that died is
  // taken over.
  bool Listen();
  const QString& Name() const { return name_; }

 signals:
  // A second instance started; command_line is empty when it had none.
  void CommandLineReceived(const QString& command_line);

 private:
  void Accept();

  QString name_;
  QLocalServer server_;
};

}  // namespace ledgora::app
