// The reference the help window shows: the German pages of docs/reference
// (Markdown), their titles and keywords, and a text search over them. A
// page lists the names it describes on a line "Stichwörter: A, B" and other
// index entries on a line "Themen: X, Y".
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

namespace ide {

struct ReferencePage {
  QString file;      // name in the reference directory
  QString title;     // first heading
  QStringList keywords;  // both lines
  QStringList names;     // "Stichwörter:": names of the language
  // "Themen:" lines hold the other keywords (topics).
  QString text;      // the whole page
};

class Reference {
 public:
  // Reads every *.md of `dir`; an empty or missing directory gives no pages.
  explicit Reference(const QString& dir);

  const QString& directory() const { return dir_; }
  const std::vector<ReferencePage>& pages() const { return pages_; }
  // Keywords, sorted case-insensitively; a function "@LEN" is also "LEN".
  const QStringList& Keywords() const;
  // The page of a keyword (any case); "" when none has it.
  QString PageOf(const QString& keyword) const;
  // Keywords beginning with `prefix` (any case).
  QStringList KeywordsStartingWith(const QString& prefix) const;
  // Pages whose text holds every word of `query` (any case), by title.
  QStringList Search(const QString& query) const;
  // The title of a page file.
  QString TitleOf(const QString& file) const;

  // Where the reference lies: $TILMOR_REFERENCE, else share/tilmor/reference
  // beside the program's bin directory.
  static QString DefaultDirectory();

 private:
  QString dir_;
  std::vector<ReferencePage> pages_;
  QMap<QString, QString> index_;  // upper-case keyword -> file
  QMap<QString, QString> shown_;  // upper-case keyword -> keyword as written
  QStringList sorted_;            // shown_'s values in index order
};

}  // namespace ide
