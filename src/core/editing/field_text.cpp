#include "core/editing/field_text.h"

#include <algorithm>

namespace room::editing {

namespace {
bool breaksField(char c) {
    return c == ',' || c == '\r' || c == '\n';
}
}  // namespace

bool fieldTextAllowed(std::string_view text) {
    return std::none_of(text.begin(), text.end(), breaksField);
}

std::string withoutFieldBreakers(std::string text) {
    std::erase_if(text, breaksField);
    return text;
}

}  // namespace room::editing
