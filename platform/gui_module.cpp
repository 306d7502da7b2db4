// The entry point of the loadable window-system module: its table.
#include "gui_table.h"

extern "C" __attribute__((visibility("default"))) const win::GuiTable* tilmor_gui_table(int version) {
  if (version != win::kGuiTableVersion) return nullptr;
#define TILMOR_GUI_ENTRY(r, n, p, a, ...) static_cast<r(*) p>(&::n),
#define TILMOR_GUI_WIN_ENTRY(r, n, p, a, ...) static_cast<r(*) p>(&win::n),
  static const win::GuiTable table = {
      TILMOR_GUI_FUNCTIONS(TILMOR_GUI_ENTRY)
      TILMOR_GUI_BATCH_FUNCTIONS(TILMOR_GUI_ENTRY)
      TILMOR_GUI_WIN_FUNCTIONS(TILMOR_GUI_WIN_ENTRY)
      TILMOR_GUI_QUERIES(TILMOR_GUI_ENTRY)
      TILMOR_GUI_WIN_QUERIES(TILMOR_GUI_WIN_ENTRY)
  };
  return &table;
}
