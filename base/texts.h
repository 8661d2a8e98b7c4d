// K720_TEXT marks a text a user reads where no translation call can stand (constant tables,
// Qt-free units): it is the English text itself, and lupdate collects it into the catalogue under
// its context. The window looks it up with QCoreApplication::translate(context, text) where it
// shows it.
#pragma once

#define K720_TEXT(context, text) text
