// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/qt/QtConfigView.h"

#include "config/qt/PageTabs.h"
#include "config/qt/QtFileDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <functional>

namespace tessaranth::qtview {

namespace {

// A check box that reports the release of the mouse button over it, after the click took effect.
class FormCheckBox : public QCheckBox {
public:
    FormCheckBox(const QString& text, QWidget* parent, std::function<void()> mouseUp)
        : QCheckBox(text, parent), mouseUp_(std::move(mouseUp)) {}

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QCheckBox::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) mouseUp_();
    }

private:
    std::function<void()> mouseUp_;
};

// A line edit that reports losing the focus.
class FormLineEdit : public QLineEdit {
public:
    FormLineEdit(QWidget* parent, std::function<void()> exited) : QLineEdit(parent), exited_(std::move(exited)) {}

protected:
    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        exited_();
    }

private:
    std::function<void()> exited_;
};

QStringList itemTexts(const ControlSpec& c) {
    QStringList items;
    for (const char* item : c.items) items << QString::fromLatin1(item);
    return items;
}

QFont dialogFont() {
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setPixelSize(11);
    return font;
}

} // namespace

QtConfigView::QtConfigView(FormInput& form, QWidget* parent) : QDialog(parent), form_(form) {
    const FormShape& shape = form.shape();
    setWindowTitle(QString::fromLatin1(shape.caption));
    setFont(dialogFont());
    setFixedSize(shape.clientWidth, shape.clientHeight);
    QStringList titles;
    for (const char* title : shape.pageTitles) titles << QString::fromLatin1(title);
    pages_ = new PageTabs(titles, this);
    const ControlRect& r = shape.pages;
    pages_->setGeometry(r.x, r.y, r.width, r.height);

    const int controls = static_cast<int>(form.controls().size());
    widgets_.assign(static_cast<std::size_t>(controls), nullptr);
    radioGroups_.assign(static_cast<std::size_t>(controls), nullptr);
    for (int i = 0; i < controls; ++i) {
        widgets_[static_cast<std::size_t>(i)] = create(i);
        refresh(i);
    }
    form_.attach(this);
    form_.answerFileDialogs(&showFileDialog, nullptr);
}

QtConfigView::~QtConfigView() {
    form_.answerFileDialogs(nullptr, nullptr);
    form_.attach(nullptr);
    // The widgets go while this is still a whole view: an edit that loses the focus on its way
    // out reports to the form through it.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

QWidget* QtConfigView::create(int control) {
    const ControlSpec& c = form_.controls()[static_cast<std::size_t>(control)];
    QWidget* parent = c.page == pageNone ? static_cast<QWidget*>(this) : pages_->page(c.page);
    const QString caption = QString::fromLatin1(c.caption ? c.caption : "");
    QWidget* w = nullptr;
    switch (c.kind) {
    case ControlKind::label:
        w = new QLabel(caption, parent);
        break;
    case ControlKind::heading: {
        auto* heading = new QLabel(caption, parent);
        QFont font = heading->font();
        font.setPixelSize(22);
        font.setBold(true);
        heading->setFont(font);
        w = heading;
        break;
    }
    case ControlKind::group:
        w = new QGroupBox(caption, parent);
        break;
    case ControlKind::memo: {
        auto* memo = new QPlainTextEdit(QString(caption).remove(QLatin1Char('\r')), parent);
        memo->setReadOnly(true);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        w = memo;
        break;
    }
    case ControlKind::edit: {
        auto* edit = new FormLineEdit(parent, [this, control] { form_.editExited(control); });
        connect(edit, &QLineEdit::textEdited, this,
                [this, control](const QString& text) { form_.textChanged(control, text.toLocal8Bit().toStdString()); });
        w = edit;
        break;
    }
    case ControlKind::checkBox: {
        auto* box = new FormCheckBox(caption, parent, [this, control] { form_.checkBoxMouseUp(control); });
        connect(box, &QCheckBox::toggled, this, [this, control](bool checked) { form_.checkBoxToggled(control, checked); });
        w = box;
        break;
    }
    case ControlKind::radioGroup:
        w = createRadioGroup(control, parent);
        break;
    case ControlKind::slider: {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        slider->setRange(c.minimum, c.maximum);
        slider->setPageStep(1);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setTickInterval(1);
        connect(slider, &QSlider::valueChanged, this, [this, control](int value) { form_.sliderMoved(control, value); });
        w = slider;
        break;
    }
    case ControlKind::button: {
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, control] { form_.buttonPressed(control); });
        w = button;
        break;
    }
    default:
        w = createChoice(control, parent);
        break;
    }
    w->setGeometry(c.rect.x, c.rect.y, c.rect.width, c.rect.height);
    w->setObjectName(QString::fromLatin1(c.name.data(), static_cast<qsizetype>(c.name.size())));
    return w;
}

QWidget* QtConfigView::createChoice(int control, QWidget* parent) {
    const ControlSpec& c = form_.controls()[static_cast<std::size_t>(control)];
    if (c.kind == ControlKind::list) {
        auto* list = new QListWidget(parent);
        list->addItems(itemTexts(c));
        connect(list, &QListWidget::currentRowChanged, this, [this, control](int row) { form_.itemChosen(control, row); });
        return list;
    }
    auto* combo = new QComboBox(parent);
    combo->addItems(itemTexts(c));
    combo->setMaxVisibleItems(static_cast<int>(c.items.size()));
    if (c.kind == ControlKind::editableDropDown) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        connect(combo, &QComboBox::editTextChanged, this,
                [this, control](const QString& text) { form_.textChanged(control, text.toLocal8Bit().toStdString()); });
    }
    connect(combo, &QComboBox::activated, this, [this, control](int item) { form_.itemChosen(control, item); });
    return combo;
}

QWidget* QtConfigView::createRadioGroup(int control, QWidget* parent) {
    const ControlSpec& c = form_.controls()[static_cast<std::size_t>(control)];
    auto* frame = new QGroupBox(QString::fromLatin1(c.caption), parent);
    auto* buttons = new QButtonGroup(frame);
    for (std::size_t i = 0; i < c.items.size(); ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(c.items[i]), frame);
        radio->setGeometry(10, 18 + 20 * static_cast<int>(i), c.rect.width - 20, 18);
        buttons->addButton(radio, static_cast<int>(i));
    }
    connect(buttons, &QButtonGroup::idClicked, this, [this, control](int item) { form_.itemChosen(control, item); });
    radioGroups_[static_cast<std::size_t>(control)] = buttons;
    return frame;
}

void QtConfigView::controlChanged(int control) { refresh(control); }

void QtConfigView::refresh(int control) {
    const ControlSpec& c = form_.controls()[static_cast<std::size_t>(control)];
    const ControlState& s = form_.state(control);
    QWidget* w = widgets_[static_cast<std::size_t>(control)];
    if (!w) return;
    const QSignalBlocker blocker(w);
    w->setEnabled(s.enabled);
    w->setVisible(s.visible);
    const QString text = QString::fromLocal8Bit(s.text.c_str());
    switch (c.kind) {
    case ControlKind::label:
        static_cast<QLabel*>(w)->setText(text);
        break;
    case ControlKind::edit:
        if (static_cast<QLineEdit*>(w)->text() != text) static_cast<QLineEdit*>(w)->setText(text);
        break;
    case ControlKind::checkBox:
        static_cast<QCheckBox*>(w)->setChecked(s.checked);
        break;
    case ControlKind::slider:
        static_cast<QSlider*>(w)->setValue(s.position);
        break;
    case ControlKind::list: {
        auto* list = static_cast<QListWidget*>(w);
        list->setCurrentRow(s.selected);
        if (s.selected < 0) list->clearSelection();
        break;
    }
    case ControlKind::dropDown:
    case ControlKind::editableDropDown: {
        auto* combo = static_cast<QComboBox*>(w);
        if (combo->currentIndex() != s.selected) combo->setCurrentIndex(s.selected);
        if (combo->isEditable() && combo->currentText() != text) combo->setEditText(text);
        break;
    }
    case ControlKind::radioGroup: {
        QButtonGroup* buttons = radioGroups_[static_cast<std::size_t>(control)];
        buttons->setExclusive(false);
        for (QAbstractButton* button : buttons->buttons()) {
            const QSignalBlocker buttonBlocker(button);
            button->setChecked(buttons->id(button) == s.selected);
        }
        buttons->setExclusive(true);
        break;
    }
    default:
        break;
    }
}

void QtConfigView::showError(const char* text) {
    const QString message = QString::fromLocal8Bit(text);
    // Shown once the event that caused it is finished, so a focus change is never interrupted.
    QMetaObject::invokeMethod(
        this, [this, message] { QMessageBox::critical(this, QStringLiteral("Tessaranth"), message); },
        Qt::QueuedConnection);
}

bool QtConfigView::choosePicture(const char* title, const char* filter, char* path, std::size_t size) {
    QFileDialog dialog(this, QString::fromLocal8Bit(title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(qtFilter(filter));
    auto* preview = new QLabel(&dialog);
    preview->setFixedSize(160, 120);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) grid->addWidget(preview, 1, grid->columnCount(), 1, 1);
    connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString& file) {
        const QPixmap picture(file);
        preview->setPixmap(picture.isNull() ? QPixmap() : picture.scaled(preview->size(), Qt::KeepAspectRatio));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    return copyPath(dialog.selectedFiles().first(), path, size);
}

void QtConfigView::close(FormResult result) { done(result == FormResult::ok ? QDialog::Accepted : QDialog::Rejected); }

bool writeScreenshots(FormInput& form, const QString& directory) {
    QtConfigView view(form);
    view.show();
    bool written = QDir().mkpath(directory);
    for (int page = 0; page < view.pages()->count(); ++page) {
        view.pages()->setCurrent(page);
        const QString file = QStringLiteral("%1/page-%2.png").arg(directory).arg(page + 1, 2, 10, QLatin1Char('0'));
        written = view.grab().save(file, "PNG") && written;
    }
    return written;
}

} // namespace tessaranth::qtview
