// The main window on an image of its own, shown offscreen, with the prompts answered by the test.
#pragma once

#include "UiTestSupport.h"

#include "ui/EditorSettings.h"
#include "ui/MainEditorDialog.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QMenu>
#include <QSettings>
#include <QTableView>

#include <memory>
#include <vector>

namespace tovu::ui::test {

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
    // A key for the widget with the focus.
    static void key(int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }
    // A click on a shown row (with Ctrl: added to the selection), giving the list the focus.
    void clickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTableView* list = window->channelList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualRect(list->model()->index(row, 1)).center());
    }
    // Right-clicks a shown row and picks the items of `path` (submenu titles, then an item) with keys.
    void pickFromContextMenu(int row, const QStringList& path) {
        QTimer::singleShot(50, [path] {
            for (const QString& text : path) {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                ASSERT_NE(menu, nullptr) << text.toStdString();
                for (QAction* action : menu->actions())
                    if (action->text() == text) menu->setActiveAction(action);
                QTest::keyClick(menu, menu->activeAction()->menu() ? Qt::Key_Right : Qt::Key_Return);
            }
        });
        QTableView* list = window->channelList();
        const QPoint at = list->visualRect(list->model()->index(row, 1)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list->viewport(), &event);
    }

    FakePrompts prompts;
    std::unique_ptr<ChannelDbImage> image;
    std::unique_ptr<ChannelDbImage> snapshot = std::make_unique<ChannelDbImage>();
    std::unique_ptr<MainEditorDialog> window;
};

}  // namespace tovu::ui::test
