// The modal questions of the editor: message boxes, input boxes, file,
// font and print dialogs. They go through one replaceable object, so tests
// answer them without a blocking dialog.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

class QPrinter;
class QWidget;

namespace ide {

enum class Answer { Yes, No, Cancel };

struct FileDialogRequest {
  QString title;
  std::string filter;  // Windows form, Windows-1252
  QString initial;     // preset name (or directory)
  QString defaultExt;  // save dialogs: added to a name without extension
  bool overwritePrompt = false;
};

struct PrintRequest {
  bool selectionAvailable = false;
  int pageCount = 1;
};
struct PrintChoice {
  bool selectionOnly = false;
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  // Yes, No and Cancel.
  virtual Answer Question(QWidget* parent, const QString& title, const QString& text);
  virtual void Information(QWidget* parent, const QString& title, const QString& text);
  virtual void Error(QWidget* parent, const QString& title, const QString& text);
  // nullopt when cancelled.
  virtual std::optional<QString> Input(QWidget* parent, const QString& title, const QString& prompt,
                                       const QString& preset);
  virtual std::optional<QString> OpenFile(QWidget* parent, const FileDialogRequest& r);
  virtual std::optional<QString> SaveFile(QWidget* parent, const FileDialogRequest& r);
  // Fixed-pitch fonts, with effects (the colour).
  virtual std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial, QColor& color);
  virtual bool PrinterSetup(QWidget* parent, QPrinter& printer);
  virtual std::optional<PrintChoice> PrintDialog(QWidget* parent, QPrinter& printer,
                                                 const PrintRequest& r);
};

// The object in use; SetPrompts(nullptr) restores the real dialogs.
Prompts& Ask();
void SetPrompts(Prompts* prompts);

}  // namespace ide
