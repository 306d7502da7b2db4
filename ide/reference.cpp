#include "reference.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

#include "launcher.h"

namespace ide {

Reference::Reference(const QString& dir) : dir_(dir) {
  QDir d(dir);
  const QStringList files = d.entryList({"*.md"}, QDir::Files, QDir::Name);
  for (const QString& f : files) {
    QFile file(d.filePath(f));
    if (!file.open(QIODevice::ReadOnly)) continue;
    ReferencePage page;
    page.file = f;
    page.text = QString::fromUtf8(file.readAll());
    for (const QString& line : page.text.split('\n')) {
      QString l = line.trimmed();
      if (page.title.isEmpty() && l.startsWith("# ")) page.title = l.mid(2).trimmed();
      for (const QString& label : {QString("Stichwörter:"), QString("Themen:")}) {
        if (!l.startsWith(label)) continue;
        for (QString k : l.mid(label.size()).split(',')) {
          k = k.trimmed();
          if (k.isEmpty()) continue;
          page.keywords << k;
          if (label.startsWith('S')) page.names << k;
        }
      }
    }
    if (page.title.isEmpty()) page.title = f;
    for (const QString& k : page.keywords) {
      QStringList forms{k};
      if (k.startsWith('@') && k.size() > 1) forms << k.mid(1);
      for (const QString& form : forms) {
        QString key = form.toUpper();
        if (!index_.contains(key)) {
          index_.insert(key, f);
          shown_.insert(key, form);
        }
      }
    }
    pages_.push_back(page);
  }
  // Sorted once: the index filters this list at every key the user types.
  sorted_ = shown_.values();
  std::sort(sorted_.begin(), sorted_.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
}

const QStringList& Reference::Keywords() const { return sorted_; }

QString Reference::PageOf(const QString& keyword) const {
  return index_.value(keyword.trimmed().toUpper());
}

QStringList Reference::KeywordsStartingWith(const QString& prefix) const {
  QStringList out;
  for (const QString& k : Keywords())
    if (k.startsWith(prefix, Qt::CaseInsensitive)) out << k;
  return out;
}

QStringList Reference::Search(const QString& query) const {
  QStringList words = query.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
  QStringList out;
  if (words.isEmpty()) return out;
  for (const ReferencePage& p : pages_) {
    bool all = std::all_of(words.begin(), words.end(),
                           [&](const QString& w) { return p.text.contains(w, Qt::CaseInsensitive); });
    if (all) out << p.title;
  }
  return out;
}

QString Reference::TitleOf(const QString& file) const {
  for (const ReferencePage& p : pages_)
    if (p.file == file) return p.title;
  return {};
}

QString Reference::DefaultDirectory() {
  QString env = qEnvironmentVariable("TILMOR_REFERENCE");
  if (!env.isEmpty()) return env;
  return QDir::cleanPath(QString::fromStdString(OwnDirectory()) + "../share/tilmor/reference");
}

}  // namespace ide
