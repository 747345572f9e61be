#include "tools/desktop/window_tree_lines.h"

#include <charconv>
#include <cstdint>

#include "tools/desktop/tool_text.h"

namespace desktop_tool {
namespace {

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = line.find(' ', start);
        fields.push_back(line.substr(start, blank - start));
        if (blank == std::string_view::npos) return fields;
        start = blank + 1;
    }
}

template <typename Number>
bool ParseField(std::string_view field, Number* value, int base = 10) {
    if (field.empty()) return false;
    const auto [end, error] =
        std::from_chars(field.data(), field.data() + field.size(), *value, base);
    return error == std::errc() && end == field.data() + field.size();
}

bool ParseFlag(std::string_view field, bool* value) {
    if (field != "0" && field != "1") return false;
    *value = field == "1";
    return true;
}

// The window text travels as four hexadecimal digits per UTF-16 unit.
bool ParseHexText(std::string_view field, std::u16string* text) {
    if (field.size() % 4 != 0) return false;
    text->clear();
    for (std::size_t i = 0; i < field.size(); i += 4) {
        unsigned unit = 0;
        if (!ParseField(field.substr(i, 4), &unit, 16)) return false;
        text->push_back(static_cast<char16_t>(unit));
    }
    return true;
}

std::optional<ChildWindow> ParseLine(std::string_view line) {
    const auto fields = SplitFields(line);
    if (fields.size() != 12) return std::nullopt;
    ChildWindow w;
    std::uint32_t style = 0;
    if (!ParseField(fields[0], &w.depth) || w.depth < 0 || !ParseField(fields[1], &w.handle) ||
        !ParseField(fields[2], &w.id) || fields[3].empty() || !ParseField(fields[4], &style, 16) ||
        !ParseFlag(fields[5], &w.visible) || !ParseFlag(fields[6], &w.enabled) ||
        !ParseField(fields[7], &w.rect.left) || !ParseField(fields[8], &w.rect.top) ||
        !ParseField(fields[9], &w.rect.right) || !ParseField(fields[10], &w.rect.bottom) ||
        !ParseHexText(fields[11], &w.text)) {
        return std::nullopt;
    }
    w.className = std::string(fields[3]);
    return w;
}

// "row <index> <image> <data> x<hex>...": each column's text behind an x,
// so that an empty text is still a field.
std::optional<ListRow> ParseRowLine(std::string_view line) {
    const auto fields = SplitFields(line);
    if (fields.size() < 4 || fields[0] != "row") return std::nullopt;
    ListRow row;
    if (!ParseField(fields[1], &row.index) || row.index < 0 || !ParseField(fields[2], &row.image) ||
        !ParseField(fields[3], &row.data))
        return std::nullopt;
    for (std::size_t i = 4; i < fields.size(); ++i) {
        if (fields[i].empty() || fields[i][0] != 'x') return std::nullopt;
        std::u16string text;
        if (!ParseHexText(fields[i].substr(1), &text)) return std::nullopt;
        row.texts.push_back(std::move(text));
    }
    return row;
}

}  // namespace

std::optional<std::vector<ChildWindow>> ParseWindowTree(std::string_view answer) {
    std::vector<ChildWindow> children;
    bool first = true;
    while (!answer.empty()) {
        const std::size_t end = answer.find('\n');
        if (end == std::string_view::npos) return std::nullopt;  // cut short
        const std::string_view line = answer.substr(0, end);
        answer.remove_prefix(end + 1);
        if (line.starts_with("row ")) {
            // Rows follow the list they belong to, never the top-level window.
            auto row = ParseRowLine(line);
            if (!row || children.empty()) return std::nullopt;
            children.back().rows.push_back(std::move(*row));
            continue;
        }
        auto window = ParseLine(line);
        if (!window || (first != (window->depth == 0))) return std::nullopt;
        if (!first) children.push_back(std::move(*window));
        first = false;
    }
    if (first) return std::nullopt;  // not even the window itself
    return children;
}

std::string FormatChildLine(const ChildWindow& child) {
    return std::to_string(child.id) + "\t" + child.className + "\t" + (child.visible ? "1" : "0") +
           "\t" + (child.enabled ? "1" : "0") + "\t" + FormatRect(child.rect) + "\t" +
           EscapeText(child.text);
}

std::string FormatRowLine(const ListRow& row) {
    std::string line = "row\t" + std::to_string(row.index) +
                       "\timage=" + std::to_string(row.image) +
                       "\tdata=" + std::to_string(row.data);
    for (const auto& text : row.texts) line += "\t" + EscapeText(text);
    return line;
}

const ChildWindow* FindChildById(const std::vector<ChildWindow>& children, int id) {
    for (const auto& child : children)
        if (child.id == id) return &child;
    return nullptr;
}

}  // namespace desktop_tool
