// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/qt/PageTabs.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include <algorithm>

namespace tessaranth::qtview {

namespace {

constexpr int tabPadding = 6;  // space left and right of a tab's caption
constexpr int frameMargin = 4; // between the pane's frame and the display area

} // namespace

PageTabs::PageTabs(const QStringList& titles, QWidget* parent) : QWidget(parent), titles_(titles) {
    setFocusPolicy(Qt::TabFocus);
    for (int i = 0; i < titles_.size(); ++i) {
        auto* page = new QWidget(this);
        page->setVisible(i == current_);
        pages_.push_back(page);
    }
    arrangeTabs();
}

int PageTabs::rowHeight() const { return fontMetrics().height() + 8; }

void PageTabs::setCurrent(int index) {
    if (index < 0 || index >= count() || index == current_) return;
    pages_[static_cast<std::size_t>(current_)]->hide();
    current_ = index;
    pages_[static_cast<std::size_t>(current_)]->show();
    arrangeTabs();
    update();
}

QRect PageTabs::displayRect() const {
    return QRect(0, tabsHeight(), width(), height() - tabsHeight())
        .adjusted(frameMargin, frameMargin, -frameMargin, -frameMargin);
}

// Fills rows from the left as far as the width allows, stretches every row to the full width
// and puts the row of the current tab at the bottom, next to the pages.
void PageTabs::arrangeTabs() {
    const int available = std::max(1, width() - 4);
    rows_.clear();
    std::vector<int> widths;
    int rowWidth = 0;
    for (int i = 0; i < titles_.size(); ++i) {
        const int tabWidth = fontMetrics().horizontalAdvance(titles_[i]) + 2 * tabPadding;
        widths.push_back(tabWidth);
        if (rows_.empty() || (rowWidth + tabWidth > available && !rows_.back().empty())) {
            rows_.emplace_back();
            rowWidth = 0;
        }
        rows_.back().push_back(i);
        rowWidth += tabWidth;
    }
    const auto currentRow = std::find_if(rows_.begin(), rows_.end(), [this](const std::vector<int>& row) {
        return std::find(row.begin(), row.end(), current_) != row.end();
    });
    if (currentRow != rows_.end()) std::rotate(rows_.begin(), currentRow + 1, rows_.end());

    tabRects_.assign(static_cast<std::size_t>(titles_.size()), QRect());
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        int natural = 0;
        for (int i : rows_[r]) natural += widths[static_cast<std::size_t>(i)];
        const int extra = rows_.size() > 1 ? std::max(0, available - natural) : 0;
        const int y = static_cast<int>(r) * rowHeight();
        int x = 2;
        for (std::size_t k = 0; k < rows_[r].size(); ++k) {
            const int i = rows_[r][k];
            const int share = extra / static_cast<int>(rows_[r].size()) +
                              (static_cast<int>(k) < extra % static_cast<int>(rows_[r].size()) ? 1 : 0);
            const int tabWidth = widths[static_cast<std::size_t>(i)] + share;
            tabRects_[static_cast<std::size_t>(i)] = QRect(x, y, tabWidth, rowHeight());
            x += tabWidth;
        }
    }
    for (QWidget* page : pages_) page->setGeometry(displayRect());
}

QStyleOptionTab PageTabs::tabOption(int index) const {
    QStyleOptionTab tab;
    tab.initFrom(this);
    tab.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (index == current_) {
        tab.state |= QStyle::State_Selected;
        if (hasFocus()) tab.state |= QStyle::State_HasFocus;
    }
    tab.text = titles_[index];
    tab.shape = QTabBar::RoundedNorth;
    tab.position = QStyleOptionTab::Middle;
    if (!tabRects_.empty()) tab.rect = tabRects_[static_cast<std::size_t>(index)];
    return tab;
}

void PageTabs::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(0, tabsHeight() - 1, width(), height() - tabsHeight() + 1);
    frame.shape = QTabBar::RoundedNorth;
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
    // The current tab last, over its neighbours; each tab kept to its own place.
    for (const std::vector<int>& row : rows_)
        for (int i : row)
            if (i != current_) drawTab(painter, i);
    drawTab(painter, current_);
}

void PageTabs::drawTab(QPainter& painter, int index) {
    const QStyleOptionTab tab = tabOption(index);
    painter.save();
    painter.setClipRect(tab.rect.adjusted(-2, -2, 2, 2));
    style()->drawControl(QStyle::CE_TabBarTabShape, &tab, &painter, this);
    style()->drawItemText(&painter, tab.rect.adjusted(0, index == current_ ? 0 : 2, 0, 0), Qt::AlignCenter, palette(),
                          isEnabled(), tab.text, QPalette::WindowText);
    painter.restore();
}

void PageTabs::mousePressEvent(QMouseEvent* event) {
    for (int i = 0; i < count(); ++i) {
        if (tabRects_[static_cast<std::size_t>(i)].contains(event->position().toPoint())) {
            setCurrent(i);
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

void PageTabs::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Right || event->key() == Qt::Key_Left) {
        const int step = event->key() == Qt::Key_Right ? 1 : count() - 1;
        setCurrent((current_ + step) % count());
        return;
    }
    QWidget::keyPressEvent(event);
}

void PageTabs::resizeEvent(QResizeEvent*) { arrangeTabs(); }

void PageTabs::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) arrangeTabs();
    QWidget::changeEvent(event);
}

} // namespace tessaranth::qtview
