// Font families and the installed fonts that stand in for Windows faces.
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cstring>

#include "../codepage.h"
#include "../fontobjects.h"
#include "controls.h"

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool Installed(const QString& family) {
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// The fontconfig alias a Windows face stands for; empty when it names none.
QString AliasOf(const std::string& face) {
  static const char* const sans[] = {"helv", "helvetica", "ms sans serif", "arial", "ms shell dlg",
                                     "ms shell dlg 2", "tahoma", "verdana", "system", "small fonts"};
  static const char* const mono[] = {"courier", "courier new", "fixedsys", "terminal", "lucida console"};
  static const char* const serif[] = {"times new roman", "tms rmn", "times", "ms serif", "roman"};
  std::string f = Lower(face);
  for (const char* n : sans)
    if (f == n) return "sans-serif";
  for (const char* n : mono)
    if (f == n) return "monospace";
  for (const char* n : serif)
    if (f == n) return "serif";
  return {};
}

QFont::StyleHint HintOf(const QString& alias) {
  if (alias == "monospace") return QFont::Monospace;
  if (alias == "serif") return QFont::Serif;
  return QFont::SansSerif;
}

}  // namespace

namespace win::detail {

QFont MatchFont(const std::string& face, int points, int weight, bool italic) {
  QFont f = QGuiApplication::instance() ? QGuiApplication::font() : QFont();
  QString name = QString::fromStdString(Cp1252ToUtf8(face));
  QString alias = AliasOf(face);
  if (Lower(face) == "symbol") {
    for (const char* cand : {"Symbol", "Standard Symbols PS", "Standard Symbols L", "OpenSymbol", "Symbola"})
      if (Installed(cand)) {
        alias.clear();
        name = cand;
        break;
      }
  }
  if (!alias.isEmpty()) {
    f.setFamilies({alias});
    f.setStyleHint(HintOf(alias));
  } else if (!name.isEmpty()) {
    f.setFamilies({name});
  }
  if (!name.isEmpty() || !alias.isEmpty()) {
    // Settle on the family fontconfig picks, so that the font does not
    // change with later lookups.
    QString real = QFontInfo(f).family();
    if (!real.isEmpty()) f.setFamilies({real});
  }
  if (points > 0) f.setPointSize(points);
  f.setWeight(static_cast<QFont::Weight>(std::clamp(weight > 0 ? weight : 400, 100, 900)));
  f.setItalic(italic);
  return f;
}

}  // namespace win::detail

namespace win {

std::vector<std::string> FontFamilies() {
  std::vector<std::string> out;
  if (!QGuiApplication::instance()) return out;
  for (const QString& fam : QFontDatabase::families()) {
    if (QFontDatabase::isPrivateFamily(fam)) continue;
    out.push_back(Utf8ToCp1252(fam.toStdString()));
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

}  // namespace win

int EnumFontFamiliesA(HDC, LPCSTR family, FONTENUMPROCA proc, LPARAM l) {
  if (!proc) return 0;
  constexpr DWORD kTrueType = 4;
  int last = 1;
  auto call = [&](const std::string& face, const QString& qfam, const QString& style) {
    LOGFONTA lf;
    std::strncpy(lf.lfFaceName, face.c_str(), sizeof lf.lfFaceName - 1);
    if (!style.isEmpty()) {
      lf.lfWeight = QFontDatabase::weight(qfam, style);
      lf.lfItalic = QFontDatabase::italic(qfam, style) ? 1 : 0;
    } else {
      lf.lfWeight = 400;
    }
    lf.lfPitchAndFamily = QFontDatabase::isFixedPitch(qfam) ? 1 : 2;
    DWORD type = QFontDatabase::isSmoothlyScalable(qfam) ? kTrueType : 0;
    last = proc(&lf, nullptr, type, l);
    return last != 0;
  };
  if (!family) {
    for (const std::string& face : win::FontFamilies())
      if (!call(face, QString::fromStdString(win::Cp1252ToUtf8(face)), QString())) break;
    return last;
  }
  QString qfam = QString::fromStdString(win::Cp1252ToUtf8(family));
  for (const std::string& face : win::FontFamilies()) {
    QString q = QString::fromStdString(win::Cp1252ToUtf8(face));
    if (q.compare(qfam, Qt::CaseInsensitive) != 0) continue;
    for (const QString& style : QFontDatabase::styles(q))
      if (!call(face, q, style)) return last;
  }
  return last;
}
