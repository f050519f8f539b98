// Helpers of the editor's widget tests: the application object, prompts answered by the test,
// the user's input played as steps, images with services, the main window on an image of its
// own, and the receiver simulator as a child process.
#pragma once

#include "db/ChannelRecord.h"
#include "db/DbImage.h"
#include "db/FavLists.h"
#include "db/NameCodec.h"
#include "ui/EditorSettings.h"
#include "ui/MainEditorDialog.h"
#include "ui/UserPrompts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Texts in test failures as texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace tovu::ui::test {

// The one application object, created on first use. It is never destroyed: a QApplication
// destroyed among the process's exit handlers finds Qt's own globals gone already and crashes the
// test run at its very end. What the editor remembers goes to a folder of the test run's own.
inline QApplication& uiApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    static QTemporaryDir settings;
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (const auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, settings.path());
    return *app;
}

// The items of a list as one text: "1 2 3".
template <class List>
QString joined(const List& items) {
    QStringList texts;
    for (const auto& item : items) texts << QVariant(item).toString();
    return texts.join(QLatin1Char(' '));
}

// An expectation a table row may leave out (nullptr).
inline void expectIfGiven(const QString& actual, const char* expected) {
    if (expected == nullptr) return;
    EXPECT_EQ(actual, QString::fromUtf8(expected));
}

struct ShownMessage {
    QWidget* owner;
    QString text;
    QString caption;
    MessageIcon icon;
};

// Answers the editor's questions from a script and records every message it shows.
class FakePrompts final : public UserPrompts {
public:
    // Taken in order by the questions: "ok" confirms, "save" and "discard" answer the question
    // about unsaved changes, anything else is the file or folder chosen; none left cancels.
    QStringList answers;
    std::optional<ImportChoices> importChoices;  // the Import Choices dialog's answer
    int importChoiceRequests = 0;
    std::vector<FileChooserPreset> fileRequests;
    std::vector<ShownMessage> messages;

    void showMessage(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) override {
        messages.push_back({owner, text, caption, icon});
    }
    bool confirm(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) override {
        showMessage(owner, text, caption, icon);
        return next() == "ok";
    }
    SaveChoice askSaveDiscardCancel(QWidget* owner, const QString& text, const QString& caption,
                                    MessageIcon icon) override {
        showMessage(owner, text, caption, icon);
        const QString answer = next();
        return answer == "save"      ? SaveChoice::Save
               : answer == "discard" ? SaveChoice::Discard
                                     : SaveChoice::Cancel;
    }
    std::optional<QString> chooseFile(QWidget*, const FileChooserPreset& preset) override {
        fileRequests.push_back(preset);
        return chosen();
    }
    std::optional<QString> chooseEnigmaFolder(QWidget*) override { return chosen(); }
    std::optional<ImportChoices> chooseImportChoices(QWidget*, const ImportSurvey&) override {
        ++importChoiceRequests;
        return importChoices;
    }
    // The texts of the messages shown so far, joined by "|".
    [[nodiscard]] QString texts() const {
        QStringList out;
        for (const auto& m : messages) out << m.text;
        return out.join(QLatin1Char('|'));
    }

private:
    QString next() { return answers.isEmpty() ? QString() : answers.takeFirst(); }
    std::optional<QString> chosen() {
        const QString answer = next();
        return answer.isEmpty() ? std::nullopt : std::optional<QString>(answer);
    }
};

// Runs `action` on the modal dialog of type T as soon as it is up (a modal run blocks the test
// until the action closes it). `seen` counts the times the action ran.
template <class T>
void whenModal(std::function<void(T&)> action, int* seen = nullptr, int timeoutMs = 10000) {
    // The application owns the timer until it is done with it.
    auto* timer = new QTimer(&uiApplication());
    QElapsedTimer clock;
    clock.start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, seen, timeoutMs] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            if (seen != nullptr) ++*seen;
            action(*dialog);
        } else if (clock.elapsed() > timeoutMs) {
            timer->stop();
            ADD_FAILURE() << "no modal dialog of the expected kind came up";
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
        } else {
            return;
        }
        timer->deleteLater();
    });
    timer->start();
}

// A left click in the middle of a widget (a button).
inline void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

// Types text into a widget (by default the one with the focus at each character) one character
// at a time, as a keyboard or an input method would (QTest's own typing takes Latin-1 only).
inline void typeText(QWidget* widget, const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        const auto key = c < 0x80 ? Qt::Key(character.toUpper().front().unicode()) : Qt::Key_unknown;
        QWidget* target = widget != nullptr ? widget : QApplication::focusWidget();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, character);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, character);
        QCoreApplication::sendEvent(target, &release);
    }
}

// The field a label names (the label's buddy) or the widget of that object name; a button's
// text names the field beside it (the next one in the focus chain).
inline QWidget* fieldNamed(QWidget* window, const QString& name) {
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy() != nullptr && label->text().remove(QLatin1Char('&')) == name)
            return label->buddy();
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (button->text() == name) return button->nextInFocusChain();
    return window->findChild<QWidget*>(name);
}

// The first item view shown in a window, and the middle of one of its rows; a row beyond the
// last one points below the last row shown.
inline QAbstractItemView* shownList(QWidget* window) {
    for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>())
        if (view->isVisible()) return view;
    return nullptr;
}
inline QPoint rowPoint(QAbstractItemView* list, int row) {
    const QAbstractItemModel* model = list->model();
    if (row < model->rowCount()) return list->visualRect(model->index(row, 0)).center();
    QRect last(0, 0, 1, 1);
    for (int r = 0; r < model->rowCount(); ++r)
        if (const QRect rect = list->visualRect(model->index(r, 0)); !rect.isEmpty()) last = rect;
    return {10, last.bottom() + 10};
}

// Picks `path` (submenu titles, then an item) from the popup menu `open` brings up.
inline void pickFromMenu(const QStringList& path, const std::function<void()>& open) {
    auto picked = std::make_shared<bool>(false);
    QTimer::singleShot(0, [path, picked] {
        for (const QString& text : path) {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr) << text.toStdString();
            for (QAction* action : menu->actions())
                if (action->text().remove(QLatin1Char('&')) == text) menu->setActiveAction(action);
            QTest::keyClick(menu, menu->activeAction()->menu() ? Qt::Key_Right : Qt::Key_Return);
        }
        *picked = true;
    });
    open();
    EXPECT_TRUE(QTest::qWaitFor([picked] { return *picked; }));
}

// Plays the user's input in a window, step by step (steps are separated by ", "):
//   click:ROW ctrl-click:ROW shift-click:ROW dclick:ROW right-dclick:ROW  on a row of its list
//   press:ROW ctrl-press:ROW dpress:ROW (soon after a click) move:ROW release wheel drag:ROW>ROW
//                                   rows dragged with the left button (wheel: one notch down)
//   header:COLUMN                   a click on a column title
//   button:TEXT                     a click on a button or check box (its text or object name)
//   menu:TITLE>ITEM, bar:MENU>ITEM  an item of the current row's context menu, of the menu bar
//   focus:NAME, type:TEXT           a click into a field (object name); typing at the focus
//   set:FIELD=VALUE                 an edit retyped or a choice picked with the keys (see fieldNamed)
//   close                           the window's close box
//   anything else                   a key sequence at the focus ("Ctrl+F", "Del")
inline void play(QWidget* window, const QString& steps) {
    if (!window->isActiveWindow()) {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }
    static QPoint pointer;  // where the last mouse step pointed in the list
    for (const QString& step : steps.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        const qsizetype colon = step.indexOf(QLatin1Char(':'));
        const QString verb = colon < 0 ? step : step.left(colon);
        const QString arg = step.mid(colon + 1);
        QAbstractItemView* list = shownList(window);
        QWidget* viewport = list != nullptr ? list->viewport() : nullptr;
        const auto modifiers = verb.startsWith("ctrl")    ? Qt::ControlModifier
                               : verb.startsWith("shift") ? Qt::ShiftModifier
                                                          : Qt::NoModifier;
        if (verb == "type") {
            typeText(nullptr, arg);
        } else if (verb == "focus") {
            click(window->findChild<QWidget*>(arg));
        } else if (verb == "set") {
            QWidget* field = fieldNamed(window, arg.section(QLatin1Char('='), 0, 0));
            ASSERT_NE(field, nullptr) << step.toStdString();
            const QString value = arg.section(QLatin1Char('='), 1);
            if (auto* box = qobject_cast<QComboBox*>(field)) {
                QTest::keyClick(box, Qt::Key_Home);
                for (int was = -1; box->currentText() != value && box->currentIndex() != was;) {
                    was = box->currentIndex();
                    QTest::keyClick(box, Qt::Key_Down);
                }
            } else {
                QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(field, Qt::Key_Delete);
                typeText(field, value);
            }
        } else if (verb == "button") {
            for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
                if (button->isVisible() &&
                    (button->text().remove(QLatin1Char('&')) == arg || button->objectName() == arg))
                    click(button);
        } else if (verb == "menu") {
            const QPoint at = list->visualRect(list->currentIndex()).center();
            pickFromMenu(arg.split(QLatin1Char('>')), [viewport, at] {
                QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
                QCoreApplication::sendEvent(viewport, &event);
            });
        } else if (verb == "bar") {
            auto* bar = window->findChild<QMenuBar*>();
            for (QAction* title : bar->actions())
                if (title->text().remove(QLatin1Char('&')) == arg.section(QLatin1Char('>'), 0, 0))
                    pickFromMenu({arg.section(QLatin1Char('>'), 1)}, [bar, title] {
                        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
                    });
        } else if (verb == "header") {
            QHeaderView* header = qobject_cast<QTableView*>(list)->horizontalHeader();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(arg.toInt()) + 5, header->height() / 2));
        } else if (verb == "close") {
            QCloseEvent event;
            QCoreApplication::sendEvent(window, &event);
        } else if (verb == "drag") {
            play(window, QStringLiteral("press:%1, move:%2, release")
                             .arg(arg.section('>', 0, 0), arg.section('>', 1)));
        } else if (verb == "release") {
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, pointer);
        } else if (verb == "wheel") {
            QWheelEvent wheel(QPointF(pointer), QPointF(viewport->mapToGlobal(pointer)), {}, QPoint(0, -120),
                              Qt::LeftButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(viewport, &wheel);
        } else if (colon > 0) {  // a mouse step on a row
            pointer = rowPoint(list, arg.toInt());
            if (verb.endsWith("dclick")) {
                QTest::mouseDClick(viewport, verb.startsWith("right") ? Qt::RightButton : Qt::LeftButton, {},
                                   pointer);
            } else if (verb.endsWith("click")) {
                QTest::mouseClick(viewport, Qt::LeftButton, modifiers, pointer);
            } else if (verb == "move") {
                QTest::mouseMove(viewport, pointer);
            } else if (verb == "dpress") {  // arrives as a double click
                QTest::mouseClick(viewport, Qt::LeftButton, {}, pointer);
                QTest::mouseDClick(viewport, Qt::LeftButton, {}, pointer);
            } else {
                QTest::mousePress(viewport, Qt::LeftButton, modifiers, pointer);
            }
        } else {
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
        }
    }
}

// A service with the given ids, type and name; the other fields are set to recognisable values.
inline ChannelRecord makeService(uint16_t serviceId, uint16_t transponderId, uint32_t progType,
                                 const std::string& utf8Name) {
    ChannelRecord r;
    r.serviceId = serviceId;
    r.transponderId = transponderId;
    r.originalNetworkId = 1;
    r.flags = (progType << kProgTypeShift) | (kAudioStereo << kAudioShift);
    r.frequencyKHz = 474000 + 8000u * transponderId;
    r.symbolRate = 6875;
    r.qam = kQam64;
    const std::string bytes = utf8ToName(utf8Name);
    std::memcpy(r.name.data(), bytes.data(), std::min(bytes.size(), kNameSize));
    return r;
}

// An image with n TV services "Service 1".."Service n", service ids 101.., transponder id 1.
inline std::unique_ptr<ChannelDbImage> imageWithServices(int n) {
    auto image = std::make_unique<ChannelDbImage>();
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(addChannel(*image,
                             makeService(uint16_t(101 + i), 1, kProgTv, "Service " + std::to_string(i + 1))),
                  i);
    return image;
}

// The entries of any list of the image, in order.
inline std::vector<int> listEntries(const ChannelDbImage& image, int listId) {
    uint16_t items[kTvCapacity] = {};
    int count = static_cast<int>(kTvCapacity);
    EXPECT_EQ(getListItems(image, listId, count, items), 1);
    return std::vector<int>(items, items + count);
}

// The service ids of the image in record order.
inline std::vector<int> serviceIds(const ChannelDbImage& image) {
    std::vector<int> ids;
    for (int i = 0; i < channelCount(image); ++i) {
        ChannelRecord r;
        if (getChannel(image, i, r)) ids.push_back(r.serviceId);
    }
    return ids;
}

// The main window on an image of its own, shown and active, with the prompts answered by the test
// and nothing remembered from an earlier start.
struct WindowHarness {
    explicit WindowHarness(std::unique_ptr<ChannelDbImage> start) : image(std::move(start)) {
        uiApplication();
        openEditorSettings()->clear();
        window = std::make_unique<MainEditorDialog>(*image, *snapshot, prompts);
        window->show();
        if (channelCount(*image) > 0) window->fillChannelList(0);
        activate();
    }
    // Shortcuts go to the active window: the window is made active (again, after a dialog).
    void activate() {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // The "No." of every row shown, top to bottom.
    [[nodiscard]] QString shown() const {
        const QAbstractItemModel* model = window->channelList()->model();
        QStringList numbers;
        for (int row = 0; row < model->rowCount(); ++row) numbers << model->index(row, 0).data().toString();
        return numbers.join(QLatin1Char(' '));
    }
    void play(const QString& steps) { test::play(window.get(), steps); }
    // Plays `steps` in the next modal dialog, once it is up.
    static void playInDialog(const QString& steps) {
        whenModal<QDialog>([steps](QDialog& dialog) { test::play(&dialog, steps); });
    }

    FakePrompts prompts;
    std::unique_ptr<ChannelDbImage> image;
    std::unique_ptr<ChannelDbImage> snapshot = std::make_unique<ChannelDbImage>();
    std::unique_ptr<MainEditorDialog> window;
};

inline std::string binaryPath(const char* name) { return std::string(TOVU_BINARY_DIR) + "/bin/" + name; }

// build/bin/stb-sim as a child process listening on its own loopback address.
class SimReceiver {
public:
    SimReceiver(const QString& address, const QStringList& options) {
        process_.setProgram(QString::fromStdString(binaryPath("stb-sim")));
        process_.setArguments(QStringList{QStringLiteral("--listen"), address} + options);
        process_.start();
        if (!process_.waitForStarted(5000)) return;
        listening_ = nextLine(10000).startsWith("listening on ");
    }
    ~SimReceiver() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) process_.kill(), process_.waitForFinished(2000);
    }
    SimReceiver(const SimReceiver&) = delete;
    SimReceiver& operator=(const SimReceiver&) = delete;

    [[nodiscard]] bool listening() const { return listening_; }
    // The next line the simulator printed (one per transfer), empty on time-out.
    QByteArray nextLine(int timeoutMs = 8000) {
        QElapsedTimer clock;
        clock.start();
        while (!process_.canReadLine() && clock.elapsed() < timeoutMs) process_.waitForReadyRead(100);
        return process_.readLine().trimmed();
    }

private:
    QProcess process_;
    bool listening_ = false;
};

}  // namespace tovu::ui::test
