// Comparator entry names are kept as the code page 932 (Shift-JIS) bytes of table files; the
// editor shows and takes them as text. One conversion per system: Qt's codec on Linux
// (name_code_page_qt.cpp), the system's own code page 932 on Windows (name_code_page_win32.cpp),
// where Qt is built without the codecs that would hold it.
#pragma once

#include <optional>
#include <string>

#include <QString>

// The text of code page 932 bytes; bytes that are no character of the code page come out as
// replacement characters.
QString CodePage932Text(const std::string& bytes);

// The code page 932 bytes of `text`, or nothing when one of its characters has none.
std::optional<std::string> CodePage932Bytes(const QString& text);
