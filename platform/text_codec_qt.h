#pragma once
// The program's texts (GB18030 bytes, CR LF at line ends) and the toolkit's
// strings (UTF-16, LF at line ends) meet here and nowhere else.
#include "platform/text.h"

#include <QString>

#include <string_view>

// A text read from a control, ready for the program: GB18030, CR LF line ends.
Text text_from_qstring(const QString& s);
// A text of the program, ready for a control. Bytes that are no GB18030
// character become U+FFFD rather than being dropped.
QString qstring_from_text(const Text& text);
// A UTF-8 literal of the program's source, ready for a control.
QString qstring_from_literal(std::string_view utf8);
