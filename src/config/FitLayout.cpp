// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/FitLayout.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace tessaranth {

namespace {

constexpr int widestGap = 3;        // room kept between neighbours a control had to move for
constexpr int narrowestStretch = 24;  // an edit or list gives up width down to this
constexpr int rounds = 16;           // bound on the rounds of moving rows and aligning columns

int tableRight(const FitItem& item) { return item.rect.x + item.rect.width; }

bool sameRow(const FitItem& a, const FitItem& b) {
    return a.area == b.area && a.rect.y < b.rect.y + b.rect.height && b.rect.y < a.rect.y + a.rect.height;
}

class Fitter {
public:
    explicit Fitter(std::span<const FitItem> items) : items_(items), x_(items.size()), width_(items.size()) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            x_[i] = items[i].rect.x;
            width_[i] = std::max<int>(items[i].rect.width, items[i].needed);
        }
        findRows();
    }

    std::vector<ControlRect> fit() {
        // Both steps run every round, the rows first.
        repeat([this] {
            const bool pushed = pushRows();
            return alignColumns([](int a, int b) { return std::max(a, b); }) || pushed;
        });
        repeat([this] {
            const bool pulled = pullRows();
            return alignColumns([](int a, int b) { return std::min(a, b); }) || pulled;
        });
        std::vector<ControlRect> rects;
        for (std::size_t i = 0; i < items_.size(); ++i)
            rects.push_back({static_cast<int16_t>(x_[i]), items_[i].rect.y, static_cast<int16_t>(width_[i]),
                             items_[i].rect.height});
        return rects;
    }

private:
    template <typename Round>
    static void repeat(Round round) {
        for (int i = 0; i < rounds && round(); ++i) {
        }
    }

    // Items of one frame whose heights overlap, directly or through others, sorted left to right.
    void findRows() {
        std::vector<std::size_t> row(items_.size());
        std::iota(row.begin(), row.end(), std::size_t{0});
        for (std::size_t i = 0; i < items_.size(); ++i)
            for (std::size_t j = i + 1; j < items_.size(); ++j)
                if (sameRow(items_[i], items_[j]) && row[j] != row[i])
                    std::replace(row.begin(), row.end(), row[j], row[i]);
        std::map<std::size_t, std::vector<std::size_t>> byRow;
        for (std::size_t i = 0; i < items_.size(); ++i) byRow[row[i]].push_back(i);
        for (auto& [first, members] : byRow) {
            std::sort(members.begin(), members.end(),
                      [this](std::size_t a, std::size_t b) { return items_[a].rect.x < items_[b].rect.x; });
            rows_.push_back(members);
        }
    }

    // The room the table leaves between two neighbours, up to widestGap. Neighbours the table
    // lets touch move apart once the left one has grown, since its caption now runs to its edge.
    int gap(std::size_t left, std::size_t right) const {
        const int table = std::clamp(items_[right].rect.x - tableRight(items_[left]), 0, widestGap);
        return table == 0 && width_[left] > items_[left].rect.width ? widestGap : table;
    }

    bool set(std::vector<int>& values, std::size_t i, int value) {
        const bool changed = values[i] != value;
        values[i] = value;
        return changed;
    }

    bool pushRows() {
        bool changed = false;
        for (const auto& row : rows_)
            for (std::size_t k = 1; k < row.size(); ++k) {
                const std::size_t a = row[k - 1], b = row[k];
                changed |= set(x_, b, std::max(x_[b], x_[a] + width_[a] + gap(a, b)));
            }
        return changed;
    }

    // A row never ends further right than its frame allows, or than the table already had it.
    int rowLimit(const std::vector<std::size_t>& row) const {
        int limit = 0;
        for (std::size_t i : row) limit = std::max({limit, items_[i].right, tableRight(items_[i])});
        return limit;
    }

    bool pullRows() {
        bool changed = false;
        for (const auto& row : rows_) {
            int limit = rowLimit(row);
            for (std::size_t k = row.size(); k-- > 0;) {
                const std::size_t i = row[k];
                if (x_[i] + width_[i] > limit) {
                    const FitItem& item = items_[i];
                    const int least = item.stretchy ? narrowestStretch : item.needed > 0 ? item.needed : width_[i];
                    changed |= set(width_, i, std::max(least, std::min(width_[i], limit - x_[i])));
                    changed |= set(x_, i, std::min(x_[i], limit - width_[i]));
                }
                if (k > 0) limit = x_[i] - gap(row[k - 1], i);
            }
        }
        return changed;
    }

    // Controls that start at the same place in the table start at the same place on the page.
    template <typename Pick>
    bool alignColumns(Pick pick) {
        std::map<int, int> columns;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            const auto [at, added] = columns.emplace(items_[i].rect.x, x_[i]);
            if (!added) at->second = pick(at->second, x_[i]);
        }
        bool changed = false;
        for (std::size_t i = 0; i < items_.size(); ++i) changed |= set(x_, i, columns.at(items_[i].rect.x));
        return changed;
    }

    std::span<const FitItem> items_;
    std::vector<int> x_, width_;
    std::vector<std::vector<std::size_t>> rows_;
};

} // namespace

std::vector<ControlRect> fitCaptions(std::span<const FitItem> items) { return Fitter(items).fit(); }

} // namespace tessaranth
