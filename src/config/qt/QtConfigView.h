// SPDX-License-Identifier: GPL-2.0-or-later
// The configuration form shown with Qt 6 Widgets: one widget per control of the form's table,
// placed where the table says, forwarding what the user does to the form.
#pragma once

#include "config/FormInput.h"

#include <QDialog>

#include <vector>

class QButtonGroup;

namespace tessaranth::qtview {

class PageTabs;

class QtConfigView : public QDialog, public FormView {
public:
    explicit QtConfigView(FormInput& form, QWidget* parent = nullptr);
    ~QtConfigView() override;

    // The widget of a control (for a radio group, its frame) and the page control.
    QWidget* widget(int control) const { return widgets_.at(static_cast<std::size_t>(control)); }
    PageTabs* pages() const { return pages_; }

    void controlChanged(int control) override;
    void showError(const char* text) override;
    bool choosePicture(const char* title, const char* filter, char* path, std::size_t size) override;
    void close(FormResult result) override;

private:
    QWidget* create(int control);
    QWidget* createChoice(int control, QWidget* parent);
    QWidget* createRadioGroup(int control, QWidget* parent);
    void refresh(int control);

    FormInput& form_;
    PageTabs* pages_ = nullptr;
    std::vector<QWidget*> widgets_;
    std::vector<QButtonGroup*> radioGroups_;
};

// Writes one PNG per page of the dialog into directory, named page-NN.png; false when a file
// could not be written.
bool writeScreenshots(FormInput& form, const QString& directory);

} // namespace tessaranth::qtview
