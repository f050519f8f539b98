// The main window on an image of its own, shown offscreen, with the prompts answered by the test.
#pragma once

#include "UiTestSupport.h"

#include "ui/EditorSettings.h"
#include "ui/MainEditorDialog.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QSettings>
#include <QTableView>

#include <memory>
#include <vector>

namespace tovu::ui::test {

struct WindowHarness {
    explicit WindowHarness(int services = 0) {
        uiApplication();
        openEditorSettings()->clear();  // a first start
        image = imageWithServices(services);
        window = std::make_unique<MainEditorDialog>(*image, *snapshot, prompts);
        window->show();
        if (services > 0) window->fillChannelList(0);
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

    FakePrompts prompts;
    std::unique_ptr<ChannelDbImage> image;
    std::unique_ptr<ChannelDbImage> snapshot = std::make_unique<ChannelDbImage>();
    std::unique_ptr<MainEditorDialog> window;
};

}  // namespace tovu::ui::test
