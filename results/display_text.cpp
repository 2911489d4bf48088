#include "results/display_text.h"

#include "engine/text/text_helpers.h"

std::string ShownUtf8(const std::string& bytes) { return ValidUtf8(bytes); }
