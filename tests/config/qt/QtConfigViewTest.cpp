// SPDX-License-Identifier: GPL-2.0-or-later
// The Qt view driven the way a user drives it: mouse clicks and keys reach the form, and the
// form's changes reach the widgets.
#include "HostRecorder.h"

#include "config/TConfigForm.h"
#include "config/qt/PageTabs.h"
#include "config/qt/QtConfigView.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "host/WinampPlugin.h"
#include "platform/FileDialogs.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace tessaranth;

class QtConfigViewTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void theDialogHasItsSizeCaptionAndPages();
    void clickingACheckBoxIndicatorStoresIt();
    void keyboardToggleChangesOnlyFilled();
    void typingReachesTheRecordAndEmptyBecomesZero();
    void textThatIsNoNumberShowsTheConversionError();
    void currentSongPositionIsStoredOnLeaving();
    void choosingAControllerRelabelsTheWiringPage();
    void dropDownsAndSlidersFollowTheKeys();
    void portAddressOutsideTheListIsShownAsText();
    void presetSetsTheWiringLists();
    void busValuesAreCheckedAndSaved();
    void loadFromFileCancelledStillRequests();
    void fileDialogsAnswerTheCoreWhileTheDialogIsOpen();
    void saveAndCancelCloseTheDialog();
    void hiddenControlsAreNotShown();
    void clickingATabShowsItsPage();

private:
    template <class Widget>
    Widget* widget(const char* name) const {
        auto* w = qobject_cast<Widget*>(view->widget(TConfigForm::named(name)));
        if (!w) qFatal("no widget %s of the expected kind", name);
        return w;
    }
    void showPageOf(const char* name);
    static void clickIndicator(QCheckBox* box);
    static void chooseFromPopup(QComboBox* combo, int row);
    static void typeFileName(QFileDialog* dialog, const QString& name);
    // Runs action on the next modal dialog of type Dialog as soon as it shows.
    template <class Dialog>
    void whenModalShows(std::function<void(Dialog*)> action);

    std::unique_ptr<test::HostRecorder> host;
    std::unique_ptr<TConfigForm> form;
    std::unique_ptr<qtview::QtConfigView> view;
};

void QtConfigViewTest::init() {
    loadPlugin();
    host = std::make_unique<test::HostRecorder>();
    form = std::make_unique<TConfigForm>();
    view = std::make_unique<qtview::QtConfigView>(*form);
    view->show();
    QApplication::setActiveWindow(view.get());
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
}

void QtConfigViewTest::cleanup() {
    view.reset();
    form.reset();
    host.reset();
    unloadPlugin();
}

void QtConfigViewTest::showPageOf(const char* name) {
    const int page = formControls()[static_cast<std::size_t>(TConfigForm::named(name))].page;
    view->pages()->setCurrent(page);
    QVERIFY(view->widget(TConfigForm::named(name))->isVisible());
}

// Clicks the box where its tick is drawn: a stretched box does not react to clicks far right of
// its caption.
void QtConfigViewTest::clickIndicator(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}

// Opens the list and clicks the entry once the popup takes clicks: it ignores a release within
// the double-click interval after it opened.
void QtConfigViewTest::chooseFromPopup(QComboBox* combo, int row) {
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    QVERIFY(QTest::qWaitForWindowExposed(list->window()));
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QRect entry = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    QTRY_VERIFY(!list->window()->isVisible());
}

// Opens the file's folder and types its name into the dialog's name box, then presses Return.
void QtConfigViewTest::typeFileName(QFileDialog* dialog, const QString& file) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    const QFileInfo info(file);
    dialog->setDirectory(info.absolutePath());
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, info.fileName());
    QTest::keyClick(edit, Qt::Key_Return);
}

// Polls for the dialog, acts on it, and acts again while it stays open: a file dialog may not
// take its answer before it has read its folder.
template <class Dialog>
void QtConfigViewTest::whenModalShows(std::function<void(Dialog*)> action) {
    auto* timer = new QTimer(view.get());
    auto deadline = std::make_shared<QDeadlineTimer>(10000);
    auto target = std::make_shared<QPointer<Dialog>>();
    auto acted = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action, deadline, target, acted] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog && (!*acted || *target == dialog)) {
            *acted = true;
            *target = dialog;
            action(dialog);
        } else if (*acted || deadline->hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(100);
}

void QtConfigViewTest::theDialogHasItsSizeCaptionAndPages() {
    QCOMPARE(view->windowTitle(), QStringLiteral("Tessaranth configuration"));
    QCOMPARE(view->size(), QSize(389, 314));
    QCOMPARE(view->pages()->count(), 10);
    QCOMPARE(view->pages()->current(), 0);
    for (int page = 0; page < view->pages()->count(); ++page) {
        const QRect tab = view->pages()->tabRect(page);
        QVERIFY2(view->pages()->rect().contains(tab), qPrintable(QString::number(page)));
    }
    const QRect display = view->pages()->displayRect();
    QVERIFY2(display.width() >= 370 && display.height() >= 216,
             qPrintable(QStringLiteral("display area %1 x %2").arg(display.width()).arg(display.height())));
    QCOMPARE(widget<QLabel>("VersionInfo")->text(), QStringLiteral("v0.9.3 beta"));
}

void QtConfigViewTest::clickingACheckBoxIndicatorStoresIt() {
    auto* box = widget<QCheckBox>("ScrollArtist");
    clickIndicator(box);
    QVERIFY(box->isChecked());
    QCOMPARE(gSettings->scrollArtist(), 1);
    clickIndicator(widget<QCheckBox>("ShowPlaylist"));
    QCOMPARE(gSettings->showPlaylist(), 1);
    QCOMPARE(gPlugin->playlistRedrawPending, 1);
}

void QtConfigViewTest::keyboardToggleChangesOnlyFilled() {
    showPageOf("BlockScope");
    auto* block = widget<QCheckBox>("BlockScope");
    block->setFocus();
    QTest::keyClick(block, Qt::Key_Space);
    QVERIFY(block->isChecked());
    QCOMPARE(gSettings->blockScope(), 0);

    auto* filled = widget<QCheckBox>("FilledScope");
    filled->setFocus();
    QTest::keyClick(filled, Qt::Key_Space);
    QVERIFY(filled->isChecked());
    QCOMPARE(gSettings->scopeType(), 1);
}

void QtConfigViewTest::typingReachesTheRecordAndEmptyBecomesZero() {
    auto* delay = widget<QLineEdit>("UpdateDelay");
    delay->setFocus();
    delay->selectAll();
    QTest::keyClicks(delay, "125");
    QCOMPARE(gSettings->updateDelay(), 125);
    delay->selectAll();
    QTest::keyClick(delay, Qt::Key_Backspace);
    QCOMPARE(delay->text(), QStringLiteral("0"));
    QCOMPARE(gSettings->updateDelay(), 0);

    showPageOf("ScopeWidth");
    auto* width = widget<QLineEdit>("ScopeWidth");
    width->setFocus();
    width->selectAll();
    QTest::keyClick(width, Qt::Key_Delete);
    QCOMPARE(width->text(), QStringLiteral("1"));
    QCOMPARE(gSettings->scopeWidth(), 1);
}

void QtConfigViewTest::textThatIsNoNumberShowsTheConversionError() {
    showPageOf("TimeX");
    auto* column = widget<QLineEdit>("TimeX");
    column->setFocus();
    column->selectAll();
    QString shown;
    whenModalShows<QMessageBox>([&shown](QMessageBox* box) {
        shown = box->text();
        box->accept();
    });
    QTest::keyClicks(column, "5x");
    QTRY_COMPARE(shown, QStringLiteral("'5x' is not a valid integer value"));
    QCOMPARE(gSettings->timeXY() >> 8, 5);  // the "5" before the error was taken
    QCOMPARE(column->text(), QStringLiteral("5x"));
}

void QtConfigViewTest::currentSongPositionIsStoredOnLeaving() {
    auto* position = widget<QLineEdit>("CurrentSongPosition");
    position->setFocus();
    position->selectAll();
    QTest::keyClicks(position, "9");
    QCOMPARE(gSettings->currentPosition(), 3);
    widget<QLineEdit>("UpdateDelay")->setFocus();
    QTRY_COMPARE(gSettings->currentPosition(), 9);
}

void QtConfigViewTest::choosingAControllerRelabelsTheWiringPage() {
    showPageOf("ControllerChoice");
    auto* list = widget<QListWidget>("ControllerChoice");
    const QRect entry = list->visualItemRect(list->item(3));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    QCOMPARE(gSettings->controller(), 3);
    QCOMPARE(widget<QLabel>("SelectWire")->text(), QStringLiteral("E"));
    QCOMPARE(widget<QLabel>("ReadWire")->text(), QStringLiteral("CS2"));
    QVERIFY(!widget<QCheckBox>("BlockAnalyzer")->isEnabled());
    QVERIFY(!widget<QCheckBox>("ShowVUMeter")->isEnabled());
}

void QtConfigViewTest::busValuesAreCheckedAndSaved() {
    // What this saves (an I2C controller among it) must not reach the other tests or the next run.
    const std::unique_ptr<const char, void (*)(const char*)> forgetSaved("", [](const char*) {
        QFile::remove(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/tessaranth/registry.reg"));
    });
    showPageOf("ControllerChoice");
    auto* list = widget<QListWidget>("ControllerChoice");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(7)).center());  // SSD1306
    auto* address = widget<QLineEdit>("I2C address");
    QVERIFY(address->isVisible() && address->isEnabled());
    QVERIFY(!widget<QLineEdit>("SPI device")->isVisible());
    QVERIFY(!widget<QCheckBox>("Parallel on GPIO")->isVisible());
    QVERIFY(!widget<QLineEdit>("SH1106 column offset")->isEnabled());
    address->setFocus();
    address->selectAll();
    QTest::keyClicks(address, "0x7f");  // stored as typed while it is an address: 0x07, not 0x7F
    QCOMPARE(gSettings->bus().i2cAddress, 0x07);
    QTest::keyClick(address, Qt::Key_Backspace);
    QTest::keyClicks(address, "A");
    QCOMPARE(gSettings->bus().i2cAddress, 0x07);  // 0x7A is reserved: 0x07 stays
    address->selectAll();
    QTest::keyClicks(address, "0x3d");
    QCOMPARE(gSettings->bus().i2cAddress, 0x3D);

    chooseFromPopup(widget<QComboBox>("BusPreset"), 1);
    QCOMPARE(widget<QLineEdit>("I2C device")->text(), QStringLiteral("/dev/i2c-1"));
    QCOMPARE(address->text(), QStringLiteral("0x3D"));

    QTest::mouseClick(widget<QPushButton>("SaveButton"), Qt::LeftButton);
    QCOMPARE(form->result(), FormResult::ok);
    BusSettings other = gSettings->bus();
    other.i2cAddress = 0x3C;
    gSettings->setBus(other);
    QVERIFY(gSettings->loadFromRegistry());
    QCOMPARE(gSettings->bus().i2cAddress, 0x3D);
    QCOMPARE(gSettings->bus().dataLines[0], 5);
}

void QtConfigViewTest::dropDownsAndSlidersFollowTheKeys() {
    form->itemChosen(TConfigForm::named("ControllerChoice"), 5);
    auto* brightness = widget<QComboBox>("Brightness");
    QVERIFY(brightness->isEnabled());
    brightness->setFocus();
    QTest::keyClick(brightness, Qt::Key_Down);
    QCOMPARE(brightness->currentIndex(), 9);
    QCOMPARE(gSettings->brightness(), 9);

    auto* speed = widget<QSlider>("ScrollSpeed");
    speed->setFocus();
    QTest::keyClick(speed, Qt::Key_Right);
    QCOMPARE(gSettings->scrollSpeed(), 6);
    QTest::keyClick(speed, Qt::Key_End);
    QCOMPARE(gSettings->scrollSpeed(), 10);
}

void QtConfigViewTest::portAddressOutsideTheListIsShownAsText() {
    gSettings->setLptAddress(0x3F8);
    form->fill();
    auto* port = widget<QComboBox>("LPTAddress");
    QCOMPARE(port->currentText(), QStringLiteral("0x3F8"));
    QCOMPARE(port->currentIndex(), -1);
    showPageOf("LPTAddress");
    port->setFocus();
    QTest::keyClicks(port->lineEdit(), "1");
    QCOMPARE(gSettings->lptAddress(), 0x3F8);
    chooseFromPopup(port, 1);
    QCOMPARE(gSettings->lptAddress(), 0x278);
    QCOMPARE(port->currentText(), QStringLiteral("0x278   (LPT2)"));
}

void QtConfigViewTest::presetSetsTheWiringLists() {
    showPageOf("WiringPreset");
    auto* preset = widget<QComboBox>("WiringPreset");
    preset->setFocus();
    for (int i = 0; i < 3; ++i) QTest::keyClick(preset, Qt::Key_Down);
    QCOMPARE(preset->currentText(), QStringLiteral("PowerLCD (SED1330)"));
    QCOMPARE(widget<QComboBox>("WiringCS")->currentText(), QStringLiteral("Line (pin 14)"));
    QCOMPARE(widget<QComboBox>("WiringRD")->currentText(), QStringLiteral("Select (pin 17)"));
    QCOMPARE(gSettings->wiringWR(), 0);
}

void QtConfigViewTest::loadFromFileCancelledStillRequests() {
    whenModalShows<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QTest::mouseClick(widget<QPushButton>("LoadFromFile"), Qt::LeftButton);
    QCOMPARE(gPlugin->analyzerTextClearPending, 1);
    QCOMPARE(gPlugin->scopeGraphicsClearPending, 1);
    QCOMPARE(gPlugin->playlistClearPending, 1);
    QCOMPARE(gPlugin->backgroundReloadPending, 1);
    QVERIFY(view->isVisible());
}

void QtConfigViewTest::fileDialogsAnswerTheCoreWhileTheDialogIsOpen() {
    QTemporaryDir folder;
    const QString existing = folder.filePath(QStringLiteral("old.tzn"));
    QFile(existing).open(QIODevice::WriteOnly);
    QString title, filter;
    whenModalShows<QFileDialog>([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        filter = dialog->nameFilters().join(QLatin1Char(','));
        typeFileName(dialog, existing);
    });
    char path[512];
    QVERIFY(platform::chooseSaveFile("Save Tessaranth configuration", "Tessaranth configuration (*.tzn)|*.tzn", ".tzn",
                                     path, sizeof path));
    QCOMPARE(QString::fromLocal8Bit(path), existing);  // replaced without asking
    QCOMPARE(title, QStringLiteral("Save Tessaranth configuration"));
    QCOMPARE(filter, QStringLiteral("Tessaranth configuration (*.tzn)"));

    whenModalShows<QFileDialog>([&](QFileDialog* dialog) {
        typeFileName(dialog, folder.filePath(QStringLiteral("missing")));
    });
    QVERIFY(platform::chooseOpenFile("Load Tessaranth configuration", "Tessaranth configuration (*.tzn)|*.tzn", ".tzn",
                                     path, sizeof path));
    QCOMPARE(QString::fromLocal8Bit(path), folder.filePath(QStringLiteral("missing.tzn")));

    whenModalShows<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QVERIFY(!platform::chooseOpenFile("Load Tessaranth configuration", "x|*.x", ".x", path, sizeof path));

    view.reset();  // closed: nobody shows file dialogs any more
    QVERIFY(!platform::chooseOpenFile("Load Tessaranth configuration", "x|*.x", ".x", path, sizeof path));
}

void QtConfigViewTest::saveAndCancelCloseTheDialog() {
    QTest::mouseClick(widget<QPushButton>("CancelButton"), Qt::LeftButton);
    QVERIFY(!view->isVisible());
    QCOMPARE(view->result(), int(QDialog::Rejected));
    view->show();
    QTest::mouseClick(widget<QPushButton>("SaveButton"), Qt::LeftButton);
    QVERIFY(!view->isVisible());
    QCOMPARE(view->result(), int(QDialog::Accepted));
    QCOMPARE(form->result(), FormResult::ok);
}

void QtConfigViewTest::hiddenControlsAreNotShown() {
    for (const char* name : {"ShowSplashscreen", "AutoSens", "SmoothScope", "RealtimeUpdate", "Button16", "ComboBox1"})
        QVERIFY2(view->widget(TConfigForm::named(name))->isHidden(), name);
    QVERIFY(!widget<QCheckBox>("EnableButtons")->isEnabled());
    QVERIFY(!widget<QComboBox>("FontSelection")->isEnabled());
}

void QtConfigViewTest::clickingATabShowsItsPage() {
    qtview::PageTabs* tabs = view->pages();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(5).center());
    QCOMPARE(tabs->current(), 5);
    QVERIFY(widget<QComboBox>("WiringCS")->isVisible());
    QVERIFY(!widget<QLineEdit>("UpdateDelay")->isVisible());
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    QCOMPARE(tabs->current(), 0);
    QVERIFY(widget<QLineEdit>("UpdateDelay")->isVisible());
}

QTEST_MAIN(QtConfigViewTest)
#include "QtConfigViewTest.moc"
