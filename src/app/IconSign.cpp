#include "app/IconSign.h"

namespace {

bool has(const std::string& name, const char* part) { return name.find(part) != std::string::npos; }

}  // namespace

std::string IconSign::forImage(const std::string& name) {
    if (name.empty() || has(name, ".png") || has(name, ".jpg")) return {};
    if (has(name, "arrow.left.and.right")) return "↔";
    if (has(name, "arrow.counterclockwise")) return "↺";
    if (has(name, "arrow.clockwise")) return "↻";
    if (has(name, "arrow.down")) return "↓";
    if (has(name, "arrow.up")) return "↑";
    if (has(name, "crown")) return "♛";
    if (has(name, "xmark")) return "✗";
    if (has(name, "checkmark")) return "✓";
    if (has(name, "plus")) return "+";
    if (has(name, "minus")) return "-";
    return {};
}
