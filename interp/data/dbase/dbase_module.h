// dBase tables, memo files and indexes: the table functions, DBCREATE,
// DBCREATEINDEX and the table system variables.
#pragma once

namespace tilmor {

struct Interp;

void RegisterDbaseModule();

// Closes every open table as @DBCLOSE does (header, count, end mark,
// indexes); called when the program ends in any way.
void CloseAllTables();

// The text font chosen with FONT; 1 is the OEM font, whose texts the table
// functions convert. Without a query the font is taken as 2.
using FontQuery = int (*)(const Interp&);
void SetDbaseFontQuery(FontQuery query);

}  // namespace tilmor
