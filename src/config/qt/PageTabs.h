// SPDX-License-Identifier: GPL-2.0-or-later
// A page control whose tabs wrap onto several rows, as the configuration dialog needs for its
// ten pages. The row of the current tab sits next to the pages, the tabs of every row are
// stretched to the full width, and the pages are plain widgets in the display area.
#pragma once

#include <QStyleOptionTab>
#include <QWidget>

#include <vector>

namespace tessaranth::qtview {

class PageTabs : public QWidget {
public:
    PageTabs(const QStringList& titles, QWidget* parent);

    int count() const { return static_cast<int>(pages_.size()); }
    QWidget* page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
    int current() const { return current_; }
    void setCurrent(int index);
    // The tab's rectangle in this widget, for tests that click it.
    QRect tabRect(int index) const { return tabRects_.at(static_cast<std::size_t>(index)); }
    QRect displayRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void arrangeTabs();
    QStyleOptionTab tabOption(int index) const;
    void drawTab(QPainter& painter, int index);
    int rowHeight() const;
    int tabsHeight() const { return static_cast<int>(rows_.size()) * rowHeight(); }

    QStringList titles_;
    std::vector<QWidget*> pages_;
    std::vector<std::vector<int>> rows_;  // tab indices, top row first
    std::vector<QRect> tabRects_;
    int current_ = 0;
};

} // namespace tessaranth::qtview
