#include "platform/ui/TableView.h"

#include <algorithm>

namespace platform {

void TableView::registerCell(const std::string& identifier, CellFactory factory) {
    prototypes_[identifier] = std::move(factory);
}

void TableView::registerCell(const std::string& identifier, TableViewCell::Style style) {
    prototypes_[identifier] = [style, identifier] { return std::make_shared<TableViewCell>(style, identifier); };
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(const std::string& identifier) {
    auto pool = reusePool_.find(identifier);
    if (pool != reusePool_.end() && !pool->second.empty()) {
        auto cell = pool->second.back();
        pool->second.pop_back();
        cell->prepareForReuse();
        return cell;
    }
    auto proto = prototypes_.find(identifier);
    if (proto == prototypes_.end() || !proto->second) return nullptr;
    return proto->second();
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(const std::string& identifier, const IndexPath&) {
    if (auto cell = dequeueReusableCell(identifier)) return cell;
    return std::make_shared<TableViewCell>(TableViewCell::Style::defaultStyle, identifier);
}

void TableView::enqueue(const std::shared_ptr<TableViewCell>& cell) {
    if (cell && !cell->reuseIdentifier().empty()) reusePool_[cell->reuseIdentifier()].push_back(cell);
}

void TableView::reloadData() {
    for (auto& [path, cell] : visible_) enqueue(cell);
    visible_.clear();
    selected_.reset();
    ++reloadCount_;
}

int TableView::numberOfSections() {
    auto source = dataSource();
    return source ? std::max(0, source->numberOfSections(*this)) : 0;
}

int TableView::numberOfRowsInSection(int section) {
    auto source = dataSource();
    if (!source || section < 0 || section >= numberOfSections()) return 0;
    return std::max(0, source->numberOfRowsInSection(*this, section));
}

std::vector<IndexPath> TableView::allIndexPaths() {
    std::vector<IndexPath> out;
    int sections = numberOfSections();
    for (int s = 0; s < sections; ++s) {
        int rows = numberOfRowsInSection(s);
        for (int r = 0; r < rows; ++r) out.push_back({s, r});
    }
    return out;
}

bool TableView::isValid(const IndexPath& p) {
    return p.section >= 0 && p.row >= 0 && p.section < numberOfSections() && p.row < numberOfRowsInSection(p.section);
}

std::shared_ptr<TableViewCell> TableView::cellAt(const IndexPath& indexPath) {
    auto found = visible_.find(indexPath);
    if (found != visible_.end()) return found->second;
    auto source = dataSource();
    if (!source || !isValid(indexPath)) return nullptr;
    auto cell = source->cellForRowAt(*this, indexPath);
    visible_[indexPath] = cell;
    return cell;
}

void TableView::setVisibleRows(const std::vector<IndexPath>& rows) {
    for (auto it = visible_.begin(); it != visible_.end();) {
        if (std::find(rows.begin(), rows.end(), it->first) != rows.end()) {
            ++it;
            continue;
        }
        enqueue(it->second);
        it = visible_.erase(it);
    }
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows() const {
    std::vector<IndexPath> rows;
    for (const auto& [path, cell] : visible_) rows.push_back(path);
    return rows;
}

std::optional<std::string> TableView::titleForHeaderInSection(int section) {
    auto source = dataSource();
    if (!source) return std::nullopt;
    return source->titleForHeaderInSection(*this, section);
}

double TableView::heightForRow(const IndexPath& indexPath) {
    if (auto d = delegate())
        if (auto h = d->heightForRowAt(*this, indexPath)) return *h;
    return rowHeight_;
}

void TableView::deselectRow(const IndexPath& indexPath, bool) {
    if (selected_ == indexPath) selected_.reset();
}

bool TableView::tapRow(const IndexPath& indexPath) {
    if (!isValid(indexPath) || !isEnabled()) return false;
    auto previous = selected_;
    selected_ = indexPath;
    auto d = delegate();
    if (d && previous && *previous != indexPath) d->didDeselectRowAt(*this, *previous);
    if (d) d->didSelectRowAt(*this, indexPath);
    return true;
}

bool TableView::tapAccessory(const IndexPath& indexPath) {
    if (!isValid(indexPath) || !isEnabled()) return false;
    if (auto d = delegate()) d->accessoryButtonTappedForRowWith(*this, indexPath);
    return true;
}

}  // namespace platform
