// Stand-ins for the control functions the dialogs use, until the controls
// are part of the build: fonts by kind only, no font objects, no actions.
#include <QFont>

#include "../controls/controls.h"
#include "../fontobjects.h"

namespace win::detail {

[[gnu::weak]] QFont MatchFont(const std::string& face, int points, int weight, bool italic) {
  QFont f(face == "Courier New" || face == "Courier" ? "DejaVu Sans Mono" : "DejaVu Sans");
  f.setPointSize(points > 0 ? points : 10);
  f.setWeight(static_cast<QFont::Weight>(weight));
  f.setItalic(italic);
  return f;
}

[[gnu::weak]] HGDIOBJ FontObject(const QFont&) { return 0; }

}  // namespace win::detail

namespace win {

[[gnu::weak]] bool DeliverControlAction(const BatchAction&, HWND) { return false; }

}  // namespace win
