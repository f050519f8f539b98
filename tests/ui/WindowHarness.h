// The main window on an image of its own, shown offscreen, with the prompts answered by the test.
#pragma once

#include "UiTestSupport.h"

#include "ui/EditorSettings.h"
#include "ui/MainEditorDialog.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTableView>

#include <memory>
#include <vector>

namespace tovu::ui::test {

// Right-clicks the list's current row and picks the items of `path` (submenu titles, then an item).
inline void pickFromContextMenu(QAbstractItemView* list, const QStringList& path) {
    QTimer::singleShot(50, [path] {
        for (const QString& text : path) {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr) << text.toStdString();
            for (QAction* action : menu->actions())
                if (action->text() == text) menu->setActiveAction(action);
            QTest::keyClick(menu, menu->activeAction()->menu() ? Qt::Key_Right : Qt::Key_Return);
        }
    });
    const QPoint at = list->visualRect(list->currentIndex()).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(list->viewport(), &event);
}

// Plays the user's input in a window, step by step: "click:ROW" (or "ctrl-click:", "shift-click:")
// on a row of its list, "header:COLUMN", "button:TEXT", "menu:TITLE>ITEM" from the context menu
// of the current row, "focus:OBJECTNAME", "type:TEXT" into the widget with the focus, else a key
// sequence ("Ctrl+F", "Del") for that widget.
inline void play(QWidget* window, const QStringList& steps) {
    if (!window->isActiveWindow()) {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }
    for (const QString& step : steps) {
        QAbstractItemView* list = nullptr;
        for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>())
            if (list == nullptr && view->isVisible()) list = view;
        const QString arg = step.mid(step.indexOf(QLatin1Char(':')) + 1);
        if (step.startsWith("type:")) {
            typeText(nullptr, arg);
        } else if (step.startsWith("focus:")) {
            window->findChild<QWidget*>(arg)->setFocus();
        } else if (step.contains("click:")) {
            const auto modifiers = step.startsWith("ctrl")    ? Qt::ControlModifier
                                   : step.startsWith("shift") ? Qt::ShiftModifier
                                                              : Qt::NoModifier;
            const QPoint at = list->visualRect(list->model()->index(arg.toInt(), 0)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, at);
        } else if (step.startsWith("header:")) {
            QHeaderView* header = qobject_cast<QTableView*>(list)->horizontalHeader();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(arg.toInt()) + 5, header->height() / 2));
        } else if (step.startsWith("button:")) {
            for (QPushButton* button : window->findChildren<QPushButton*>())
                if (button->text() == arg) click(button);
        } else if (step.startsWith("menu:")) {
            pickFromContextMenu(list, arg.split(QLatin1Char('>')));
        } else {
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
        }
    }
}

struct WindowHarness {
    // `prepare` adds to the image before the window opens on it.
    explicit WindowHarness(int services = 0, const std::function<void(ChannelDbImage&)>& prepare = {}) {
        uiApplication();
        openEditorSettings()->clear();  // a first start
        image = imageWithServices(services);
        if (prepare) prepare(*image);
        window = std::make_unique<MainEditorDialog>(*image, *snapshot, prompts);
        window->show();
        activate();
        if (services > 0) window->fillChannelList(0);
    }

    // Keys go to the focus widget and shortcuts to the active window: the window is made active
    // (again, after a dialog) with the focus in the list.
    void activate() {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->channelList()->setFocus();
    }

    [[nodiscard]] int rows() const { return window->channelList()->model()->rowCount(); }
    [[nodiscard]] QString cell(int row, int column) const {
        const QAbstractItemModel* model = window->channelList()->model();
        return model->data(model->index(row, column)).toString();
    }
    [[nodiscard]] int currentRow() const {
        return window->channelList()->selectionModel()->currentIndex().row();
    }
    void select(const std::vector<int>& rowsToSelect) {
        QItemSelectionModel* selection = window->channelList()->selectionModel();
        selection->clearSelection();
        for (const int row : rowsToSelect)
            selection->select(window->channelList()->model()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void clearSelection() { window->channelList()->selectionModel()->clearSelection(); }
    // The "No." of every row shown, top to bottom.
    [[nodiscard]] QStringList shownNumbers() const {
        QStringList numbers;
        for (int row = 0; row < rows(); ++row) numbers << cell(row, 0);
        return numbers;
    }
    void play(const QStringList& steps) { test::play(window.get(), steps); }
    // Plays `steps` in the next modal dialog, once it is up.
    static void playInDialog(const QStringList& steps) {
        whenModal<QDialog>([steps](QDialog& dialog) { test::play(&dialog, steps); });
    }

    FakePrompts prompts;
    std::unique_ptr<ChannelDbImage> image;
    std::unique_ptr<ChannelDbImage> snapshot = std::make_unique<ChannelDbImage>();
    std::unique_ptr<MainEditorDialog> window;
};

}  // namespace tovu::ui::test
