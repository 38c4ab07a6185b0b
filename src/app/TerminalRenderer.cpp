#include "app/TerminalRenderer.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <sstream>

#include "app/HtmlText.h"
#include "app/IconSign.h"
#include "app/LineWrap.h"
#include "platform/ui/Utf8Text.h"

using namespace platform;

namespace {

std::string indentLines(const std::string& text, const std::string& indent) {
    std::string out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) out += indent + line + "\n";
    return out;
}

std::string barItems(const std::vector<std::shared_ptr<BarButtonItem>>& items) {
    std::string out;
    for (auto& item : items) {
        if (!out.empty()) out += " ";
        out += "[" + item->title() + "]";
    }
    return out;
}

std::string formatDate(DatePicker::TimePoint t) {
    std::time_t tt = std::chrono::system_clock::to_time_t(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%d.%m.%Y", &tm);
    return buf;
}

// The sign of an icon, or nothing.
std::string signOf(const std::shared_ptr<Image>& image) { return image ? IconSign::forImage(image->name()) : ""; }

// The nearest of the terminal's eight colours for a colour without a system
// name; none for black, white and greys (plain text), "2" (dim) for a pale or
// translucent grey.
const char* nearestCode(const Color& c) {
    const double r = c.red(), g = c.green(), b = c.blue();
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    if (c.alpha() <= 0.0) return nullptr;
    if (hi - lo < 0.15) return (hi > 0.15 && hi < 0.85) || c.alpha() < 0.9 ? "2" : nullptr;
    double hue;
    if (hi == r) hue = std::fmod((g - b) / (hi - lo) + 6.0, 6.0);
    else if (hi == g) hue = (b - r) / (hi - lo) + 2.0;
    else hue = (r - g) / (hi - lo) + 4.0;
    hue *= 60.0;
    if (hue < 20 || hue >= 330) return "31";
    if (hue < 70) return "33";
    if (hue < 160) return "32";
    if (hue < 200) return "36";
    if (hue < 260) return "34";
    return "35";
}

std::string caption(const View& view) {
    return view.accessibilityLabel().empty() ? std::string() : view.accessibilityLabel() + ": ";
}

}  // namespace

std::string TerminalRenderer::paint(const std::string& text, const std::optional<Color>& colour) const {
    if (!colour_ || !colour) return text;
    const std::string& name = colour->name();
    const char* code = nullptr;
    if (name == "systemRed") code = "31";
    else if (name == "systemGreen") code = "32";
    else if (name == "systemYellow" || name == "systemOrange") code = "33";
    else if (name == "systemBlue") code = "34";
    else if (name == "secondaryLabel" || name == "systemGray") code = "2";
    else if (name.empty()) code = nearestCode(*colour);
    if (!code) return text;
    // Each line on its own, so that a line shown alone (a screen cut to the
    // terminal) starts and ends its colour itself.
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        std::size_t end = nl == std::string::npos ? text.size() : nl;
        if (end > start) out += std::string("\x1b[") + code + "m" + text.substr(start, end - start) + "\x1b[0m";
        if (nl == std::string::npos) break;
        out += "\n";
        start = nl + 1;
    }
    return out;
}

std::string TerminalRenderer::bold(const std::string& text) const {
    return colour_ ? "\x1b[1m" + text + "\x1b[0m" : text;
}

std::string TerminalRenderer::renderField(const TextField& field, int number) const {
    std::string shown = field.textOrEmpty();
    if (field.isSecureTextEntry()) shown = std::string(Utf8Text::length(shown), '*');
    std::string out = "f" + std::to_string(number) + " " + caption(field) + "[" + shown + "]";
    if (shown.empty() && !field.placeholder().empty()) out += " (" + field.placeholder() + ")";
    if (field.keyboardType() != KeyboardType::defaultType) out += " <" + keyboardName(field.keyboardType()) + ">";
    return out;
}


// Every part of a page goes through one step that fits its lines to the
// terminal: titles, rows, labels, fields, the web page's text and the alert.
std::string TerminalRenderer::renderHead(const ScreenSnapshot& s) const { return LineWrap::wrap(headText(s), width_); }

std::string TerminalRenderer::renderEntry(const ScreenSnapshot& s, std::size_t entry) const {
    return LineWrap::wrap(entryText(s, entry), width_);
}

std::string TerminalRenderer::renderFoot(const ScreenSnapshot& s) const { return LineWrap::wrap(footText(s), width_); }

TerminalRenderer::Page TerminalRenderer::renderPage(const ScreenSnapshot& s) const {
    Page page;
    page.head = renderHead(s);
    if (!s.screen) return page;
    std::string body;
    const std::size_t entries = s.entryCount();
    for (std::size_t i = 0; i < entries; ++i) {
        body += renderEntry(s, i);
        // A row drawn has scrolled past: its cell goes back for reuse, so
        // that a list of any length is drawn with a cell or two.
        const auto entry = s.entry(i);
        if (entry.item->kind == ScreenSnapshot::Item::Kind::rows)
            entry.item->table->setVisibleRows({{entry.item->section, entry.row}});
    }
    page.body = std::move(body);
    page.foot = renderFoot(s);
    return page;
}

std::string TerminalRenderer::headText(const ScreenSnapshot& s) const {
    if (!s.screen) return "(no screen)\n";
    std::ostringstream head;
    // A screen without a title (a confirmation page, a date picker) starts
    // with its bar or content rather than an empty "==  ==".
    const std::string title = s.screen->title().value_or("");
    if (!title.empty()) head << bold("== " + title + " ==") << "\n";
    std::string left = barItems(s.leftItems);
    if (s.canGoBack) left = "[< b]" + (left.empty() ? "" : " " + left);
    std::string right = barItems(s.rightItems);
    if (!left.empty() || !right.empty()) {
        head << left;
        if (!right.empty()) head << (left.empty() ? "" : "   ") << "| " << right;
        head << "\n";
    }
    return head.str();
}

std::string TerminalRenderer::footText(const ScreenSnapshot& s) const {
    std::string foot;
    if (!s.screen) return foot;
    if (!s.toolbarItems.empty()) foot += barItems(s.toolbarItems) + "\n";
    if (s.alert) foot += renderAlert(*s.alert);
    return foot;
}

std::string TerminalRenderer::renderRow(const std::shared_ptr<TableViewCell>& cell, int rowNumber) const {
    std::ostringstream out;
    std::string number = std::to_string(rowNumber) + ". ";
    std::string pad(number.size() + 2, ' ');
    std::string text, accessory;
    if (cell) {
        text = cell->textLabel()->textOrEmpty();
        const std::string sign = signOf(cell->imageView()->image());
        if (!sign.empty()) text = sign + " " + text;
        if (cell->hasAccessoryButton()) accessory = "  (i" + std::to_string(rowNumber) + ")";
        else if (cell->accessoryType() == TableViewCell::AccessoryType::checkmark) accessory = "  [x]";
        else if (cell->accessoryType() == TableViewCell::AccessoryType::disclosureIndicator) accessory = "  >";
    }
    std::string first, rest;
    auto nl = text.find('\n');
    first = text.substr(0, nl);
    if (nl != std::string::npos) rest = text.substr(nl + 1);
    out << "  " << number << paint(first, cell ? cell->textLabel()->textColor() : std::nullopt) << accessory
        << "\n";
    if (!rest.empty()) out << paint(indentLines(rest, pad), cell->textLabel()->textColor());
    if (cell && cell->detailTextLabel() && !cell->detailTextLabel()->textOrEmpty().empty())
        out << paint(indentLines(cell->detailTextLabel()->textOrEmpty(), pad),
                     cell->detailTextLabel()->textColor());
    if (cell) {
        // Named labels and widgets of custom cells.
        for (auto& sub : cell->subviews()) {
            if (sub->isCollapsed()) continue;
            if (auto label = std::dynamic_pointer_cast<Label>(sub)) {
                // A value shows the caption its cell gave it, and
                // keeps its line when empty, so that the numbers of
                // a row cannot be taken one for another.
                const std::string& name = label->accessibilityLabel();
                if (!name.empty() && name != label->identifier()) {
                    const std::string value = label->textOrEmpty();
                    out << paint(indentLines(name + ":" + (value.empty() ? "" : " " + value), pad),
                                 label->textColor());
                    continue;
                }
                if (label->textOrEmpty().empty()) continue;
                out << paint(indentLines(label->textOrEmpty(), pad), label->textColor());
            } else if (auto image = std::dynamic_pointer_cast<ImageView>(sub)) {
                std::string sign = signOf(image->image());
                if (!sign.empty()) out << pad << paint(sign, image->tintColor()) << "\n";
            } else if (auto progress = std::dynamic_pointer_cast<ProgressView>(sub)) {
                int filled = static_cast<int>(std::lround(progress->progress() * 10));
                out << pad << "[" << std::string(filled, '#') << std::string(10 - filled, '-') << "]\n";
            }
        }
    }
    return out.str();
}

std::string TerminalRenderer::entryText(const ScreenSnapshot& s, std::size_t index) const {
    const auto entry = s.entry(index);
    if (!entry.item) return {};
    const auto& item = *entry.item;
    using Kind = ScreenSnapshot::Item::Kind;
    std::ostringstream out;
    switch (item.kind) {
        case Kind::sectionTitle:
            out << bold("-- " + item.table->titleForHeaderInSection(item.section).value_or("") + " --") << "\n";
            break;
        case Kind::rows:
            return renderRow(item.table->cellAt({item.section, entry.row}), item.number + entry.row);
        case Kind::label: {
            auto label = std::static_pointer_cast<Label>(item.view);
            if (label->textOrEmpty().empty()) break;
            // A bare number (a total) says what it is by the caption its
            // screen gave it; a label named only by its outlet shows its text.
            const bool captioned = label->accessibilityLabel() != label->identifier();
            out << paint(indentLines((captioned ? caption(*label) : std::string()) + label->textOrEmpty(), "  "),
                         label->textColor());
            break;
        }
        case Kind::field:
            out << "  " << renderField(*std::static_pointer_cast<TextField>(item.view), item.number) << "\n";
            break;
        case Kind::toggle: {
            auto sw = std::static_pointer_cast<Switch>(item.view);
            out << "  s" << item.number << " " << caption(*sw) << (sw->isOn() ? "[on]" : "[off]") << "\n";
            break;
        }
        case Kind::button: {
            auto button = std::static_pointer_cast<Button>(item.view);
            std::string name = button->title().empty() && button->image() ? button->image()->name() : button->title();
            out << "  [" << name << "]" << (button->isEnabled() ? "" : " (disabled)") << "\n";
            break;
        }
        case Kind::progress: {
            auto progress = std::static_pointer_cast<ProgressView>(item.view);
            int filled = static_cast<int>(std::lround(progress->progress() * 20));
            out << "  " << caption(*progress) << "[" << std::string(filled, '#') << std::string(20 - filled, '-')
                << "] " << static_cast<int>(std::lround(progress->progress() * 100)) << "%\n";
            break;
        }
        case Kind::activity: {
            auto activity = std::static_pointer_cast<ActivityIndicatorView>(item.view);
            if (activity->isAnimating()) out << "  (working...)\n";
            break;
        }
        case Kind::datePicker: {
            auto picker = std::static_pointer_cast<DatePicker>(item.view);
            out << "  d" << item.number << " " << caption(*picker) << formatDate(picker->date());
            if (picker->minimumDate() || picker->maximumDate()) {
                out << " (" << (picker->minimumDate() ? formatDate(*picker->minimumDate()) : "") << " - "
                    << (picker->maximumDate() ? formatDate(*picker->maximumDate()) : "") << ")";
            }
            out << "\n";
            break;
        }
        case Kind::search: {
            auto search = std::static_pointer_cast<SearchBar>(item.view);
            out << "  /search: [" << search->text() << "]";
            if (search->text().empty() && !search->placeholder().empty()) out << " (" << search->placeholder() << ")";
            if (search->keyboardType() != KeyboardType::defaultType)
                out << " <" << keyboardName(search->keyboardType()) << ">";
            out << "\n";
            const auto& scopes = search->scopeButtonTitles();
            if (search->showsScopeBar() && !scopes.empty()) {
                out << "  scope:";
                for (size_t i = 0; i < scopes.size(); ++i) {
                    bool selected = static_cast<int>(i) == search->selectedScopeButtonIndex();
                    out << " sc" << (i + 1) << (selected ? "*" : "") << "[" << scopes[i] << "]";
                }
                out << "\n";
            }
            break;
        }
        case Kind::image: {
            auto image = std::static_pointer_cast<ImageView>(item.view);
            std::string sign = signOf(image->image());
            if (!sign.empty()) out << "  " << paint(sign, image->tintColor()) << "\n";
            break;
        }
        case Kind::web: {
            auto web = std::static_pointer_cast<WebView>(item.view);
            if (!web->html()) break;
            out << "  ----\n" << indentLines(HtmlText::toText(*web->html()), "  ") << "  ----\n";
            break;
        }
    }
    return out.str();
}

std::string TerminalRenderer::renderAlert(const AlertController& alert) const {
    std::ostringstream out;
    bool sheet = alert.preferredStyle() == AlertController::Style::actionSheet;
    out << "+-- " << bold(alert.title().value_or(sheet ? "" : "")) << (sheet ? " (choose)" : "") << "\n";
    if (alert.message() && !alert.message()->empty()) out << indentLines(*alert.message(), "| ");
    int n = 0;
    for (auto& field : alert.textFields()) out << "| " << renderField(*field, ++n) << "\n";
    out << "|";
    n = 0;
    for (auto& action : alert.actions()) {
        ++n;
        std::optional<Color> colour;
        if (action->style() == AlertAction::Style::destructive) colour = Color::systemRed();
        std::string shown = std::to_string(n) + ":" + action->title();
        if (action->style() == AlertAction::Style::cancel) shown += " (cancel)";
        out << " [" << paint(shown, colour) << "]" << (action->isEnabled() ? "" : "(off)");
    }
    out << "\n+--\n";
    return out.str();
}
