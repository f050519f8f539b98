// Undo and redo of the changes the editor makes to the image. After each change its command
// records one step. A step keeps only the bytes that changed, as before XOR after (the same
// bytes undo and redo it), so that even a history of whole-image changes stays small.
#pragma once

#include "db/DbImage.h"

#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QUndoStack;

namespace tovu::ui {

// The bytes in which two images differ.
struct ImageDelta {
    std::vector<uint32_t> spans;  // offset and length of each changed range
    std::vector<uint8_t> bytes;   // before XOR after over every range, in order
    [[nodiscard]] bool empty() const { return spans.empty(); }
    [[nodiscard]] size_t bytesHeld() const { return spans.capacity() * sizeof(uint32_t) + bytes.capacity(); }
};

[[nodiscard]] ImageDelta imageDelta(const ChannelDbImage& before, const ChannelDbImage& after);
// Turns the image a delta was taken from into the other one, and back.
void applyDelta(const ImageDelta& delta, ChannelDbImage& image);

class ImageHistory final : public QObject {
    Q_OBJECT
public:
    // Steps kept; older ones are dropped. 200 steps of whole-image changes hold about 50 MiB.
    static constexpr int kStepLimit = 200;

    explicit ImageHistory(ChannelDbImage& image, QObject* parent = nullptr);
    ~ImageHistory() override;

    [[nodiscard]] QUndoStack* stack() const { return stack_; }

    // One step named `what` holding what the image changed since the last step, with the
    // records selected before and after the change. False, and no step, when nothing changed.
    bool record(const QString& what, const QList<int>& selectionBefore, const QList<int>& selectionAfter);
    // The image now is what a file holds.
    void markSaved();
    // True while the image differs from what was last loaded or saved.
    [[nodiscard]] bool hasUnsavedChanges() const;
    // Bytes the history holds: its copy of the image as last recorded, and every step.
    [[nodiscard]] size_t bytesHeld() const;

signals:
    // An undo or a redo changed the image; the records to select now.
    void applied(const QList<int>& records);

private:
    class Step;
    void apply(const ImageDelta& delta, const QList<int>& selection);

    ChannelDbImage& image_;
    std::unique_ptr<ChannelDbImage> recorded_;  // the image as of the last step
    QUndoStack* stack_ = nullptr;
};

}  // namespace tovu::ui
