// DDE conversations as D-Bus calls (QtDBus).
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <map>

#include "codepage.h"
#include "dde/dde.h"

namespace win {
namespace {

struct Conversation {
  QString service;
  QString topic;
};

std::map<uint32_t, Conversation>& Conversations() {
  static std::map<uint32_t, Conversation> c;
  return c;
}

uint32_t g_next = 0x0DDE0001;

QString Text(const std::string& cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

QDBusMessage Call(const Conversation& c, const char* method) {
  QDBusMessage m = QDBusMessage::createMethodCall(c.service, kDdeObjectPath, kDdeInterface, method);
  m.setAutoStartService(false);
  return m;
}

}  // namespace

uint32_t DdeConnect(const std::string& app, const std::string& topic, int timeoutMs) {
  std::string service = DdeServiceName(app);
  if (service.empty() || !SessionBusAvailable()) return 0;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return 0;
  Conversation c{QString::fromStdString(service), Text(topic)};
  QDBusMessage m = Call(c, "Initiate");
  m << c.topic;
  QDBusMessage reply = bus.call(m, QDBus::Block, timeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
      !reply.arguments().first().toBool())
    return 0;
  uint32_t h = g_next++;
  Conversations()[h] = c;
  return h;
}

int DdeExecute(uint32_t conversation, const std::string& command, int timeoutMs, void (*pump)(void*),
               void* context) {
  auto it = Conversations().find(conversation);
  if (it == Conversations().end()) return -1;
  QDBusConnection bus = QDBusConnection::sessionBus();
  QDBusMessage m = Call(it->second, "Execute");
  m << it->second.topic << Text(command);
  QDBusPendingCall pending = bus.asyncCall(m, timeoutMs);
  QElapsedTimer clock;
  clock.start();
  // The program's windows stay alive while the server works.
  while (!pending.isFinished() && clock.elapsed() < timeoutMs) {
    if (pump) pump(context);
    QCoreApplication::processEvents();
    if (!pending.isFinished()) QThread::msleep(5);
  }
  if (!pending.isFinished()) return -1;
  QDBusMessage reply = pending.reply();
  if (reply.type() != QDBusMessage::ReplyMessage) return -1;
  return !reply.arguments().isEmpty() && reply.arguments().first().toBool() ? 1 : 0;
}

void DdeTerminate(uint32_t conversation) {
  auto it = Conversations().find(conversation);
  if (it == Conversations().end()) return;
  QDBusMessage m = Call(it->second, "Terminate");
  m << it->second.topic;
  Conversations().erase(it);
  QDBusConnection::sessionBus().call(m, QDBus::Block, 1000);
}

}  // namespace win
