// QScintilla's headers, which use Qt's keywords "signals" and "slots" that
// the rest of the system keeps free.
#pragma once

#ifndef signals
#define signals Q_SIGNALS
#define slots Q_SLOTS
#define TILMOR_QSCI_KEYWORDS
#endif
#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexercustom.h>
#include <Qsci/qsciscintilla.h>
#ifdef TILMOR_QSCI_KEYWORDS
#undef signals
#undef slots
#undef TILMOR_QSCI_KEYWORDS
#endif
