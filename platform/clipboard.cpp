#include "clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

#include "codepage.h"

namespace win {
namespace {

QClipboard* Board() {
  return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr;
}

}  // namespace

bool ClipboardAvailable() { return Board() != nullptr; }

void ClearClipboard() {
  if (QClipboard* c = Board()) c->clear();
}

bool PutClipboardText(std::string_view text) {
  QClipboard* c = Board();
  if (!c) return false;
  text = text.substr(0, 254);
  // CR LF and a lone CR are line ends; the host's clipboard speaks LF.
  std::string lf;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      lf += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      lf += text[i];
    }
  }
  c->setText(QString::fromStdString(Cp1252ToUtf8(lf)));
  return true;
}

std::string ClipboardText() {
  QClipboard* c = Board();
  if (!c) return {};
  const QMimeData* data = c->mimeData();
  if (!data || !data->hasText()) return {};
  std::string text = Utf8ToCp1252(data->text().toStdString());
  std::string crlf;
  for (size_t i = 0; i < text.size() && crlf.size() < 255; ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) crlf += '\r';
    crlf += text[i];
  }
  if (crlf.size() > 255) crlf.resize(255);
  return crlf;
}

}  // namespace win
