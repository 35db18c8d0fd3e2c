#pragma once
// The program's texts: byte strings in GB18030 (a superset of GBK, so nothing the
// operator types is lost), with CR LF at line ends. Controls hand them over in
// this form; the toolkit's own string type never leaves platform/.
//
// Literals written in the program's source (forms, messages) are UTF-8; the
// platform converts them when it builds a control.
#include <string>
#include <vector>

using Text = std::string;
using TextList = std::vector<Text>;
