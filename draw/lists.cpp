#include "draw/lists.h"

TextList split_lines(std::string_view text) {
    TextList entries;
    std::size_t start = 0;
    std::size_t p = 0;
    while (text.size() - p >= 2) {
        if (text[p] == '\r' && text[p + 1] == '\n') {
            entries.emplace_back(text.substr(start, p - start));
            p += 2;
            start = p;
        } else if (static_cast<unsigned char>(text[p]) >= 0x80) {
            p += 2;
        } else {
            p += 1;
        }
    }
    if (start < text.size())
        entries.emplace_back(text.substr(start));
    return entries;
}
