// mciGetErrorStringA: the German texts of the MCI error codes.
#include <cstring>
#include <unordered_map>

#include "mmsystem.h"

namespace {

const std::unordered_map<MCIERROR, const char*>& Texts() {
  static const std::unordered_map<MCIERROR, const char*> texts = {
    {0, "Der Befehl wurde ausgef\xFChrt."},
    {257, "Ung\xFCltige Ger\xE4tekennung!"},
    {259, "Unbekanntes Schl\xFCsselwort im MCI-Befehl!"},
    {261, "MCI-Befehl unbekannt!"},
    {262, "Fehler im Ger\xE4t!"},
    {263, "Ung\xFCltiger Ger\xE4tename!"},
    {264, "Zu wenig Speicher!"},
    {265, "Das Ger\xE4t ist bereits ge\xF6" "ffnet!"},
    {266, "Ger\xE4tetreiber nicht ladbar!"},
    {267, "MCI-Befehl fehlt!"},
    {268, "Das Ergebnis pa\xDFt nicht in den Puffer!"},
    {269, "Text-Argument fehlt!"},
    {270, "Keine ganze Zahl!"},
    {271, "Interner Fehler beim Zerlegen des MCI-Befehls!"},
    {272, "Interner Fehler im Ger\xE4tetreiber!"},
    {273, "Parameter fehlt!"},
    {274, "Das Ger\xE4t kann diesen Befehl nicht ausf\xFChren!"},
    {275, "Datei nicht gefunden!"},
    {276, "Das Ger\xE4t ist nicht bereit!"},
    {277, "Interner MCI-Fehler!"},
    {278, "Fehler im Ger\xE4tetreiber!"},
    {279, "\"all\" ist bei diesem Befehl nicht erlaubt!"},
    {280, "Fehler in mehreren Ger\xE4ten!"},
    {281, "Die Dateiendung ist keinem Ger\xE4t zugeordnet!"},
    {282, "Wert au\xDF" "erhalb des erlaubten Bereichs!"},
    {284, "Die Angaben passen nicht zusammen!"},
    {286, "Die Datei wurde nicht gespeichert!"},
    {287, "Ger\xE4tetyp fehlt!"},
    {288, "Das Ger\xE4t wird gerade geschlossen!"},
    {289, "Der Aliasname ist schon vergeben!"},
    {290, "Ung\xFCltige Konstante!"},
    {291, "Das Ger\xE4t mu\xDF gemeinsam genutzt werden!"},
    {292, "Ger\xE4tename fehlt!"},
    {293, "Ung\xFCltiges Zeitformat!"},
    {294, "Schlie\xDF" "endes Anf\xFChrungszeichen fehlt!"},
    {295, "Doppelte Angabe!"},
    {296, "Die Datei kann von diesem Ger\xE4t nicht gespielt werden!"},
    {297, "Parameterblock fehlt!"},
    {298, "Die Datei hat keinen Namen!"},
    {299, "F\xFCr \"new\" ist ein Aliasname n\xF6tig!"},
    {300, "\"notify\" ist beim automatischen \xD6" "ffnen nicht erlaubt!"},
    {301, "Bei diesem Ger\xE4t ist kein Dateiname erlaubt!"},
    {302, "Der Befehl pa\xDFt nicht zu diesem Ger\xE4t!"},
    {303, "Beim automatischen \xD6" "ffnen nicht erlaubt!"},
    {304, "Dateiname fehlt!"},
    {305, "\xDC" "berz\xE4hlige Zeichen im MCI-Befehl!"},
    {306, "Das Ger\xE4t ist nicht installiert!"},
    {343, "Kein MIDI-Ausgabeger\xE4t vorhanden!"},
    {348, "Fehler beim Lesen der Datei!"},
  };
  return texts;
}

}  // namespace

BOOL mciGetErrorStringA(MCIERROR error, LPSTR text, UINT size) {
  if (!text || size == 0) return FALSE;
  auto it = Texts().find(error);
  const char* t = it != Texts().end() ? it->second : "Unbekannter MCI-Fehler!";
  size_t n = std::strlen(t);
  if (n >= size) n = size - 1;
  std::memcpy(text, t, n);
  text[n] = '\0';
  return it != Texts().end();
}
