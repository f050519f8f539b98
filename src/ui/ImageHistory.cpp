#include "ui/ImageHistory.h"

#include <QUndoCommand>
#include <QUndoStack>

#include <cstring>

namespace tovu::ui {

namespace {

// Changed ranges this close together are kept as one: a range costs as much as that many bytes.
constexpr size_t kJoinGap = 2 * sizeof(uint32_t);
constexpr size_t kChunk = 64;

}  // namespace

ImageDelta imageDelta(const ChannelDbImage& before, const ChannelDbImage& after) {
    const uint8_t* a = before.bytes.data();
    const uint8_t* b = after.bytes.data();
    const size_t n = before.bytes.size();
    ImageDelta delta;
    size_t i = 0;
    while (i < n) {
        if (i % kChunk == 0 && i + kChunk <= n && std::memcmp(a + i, b + i, kChunk) == 0) {
            i += kChunk;
            continue;
        }
        if (a[i] == b[i]) {
            ++i;
            continue;
        }
        const size_t start = i;
        size_t last = i;
        for (; i < n && i - last <= kJoinGap; ++i)
            if (a[i] != b[i]) last = i;
        delta.spans.push_back(static_cast<uint32_t>(start));
        delta.spans.push_back(static_cast<uint32_t>(last + 1 - start));
        for (size_t k = start; k <= last; ++k) delta.bytes.push_back(static_cast<uint8_t>(a[k] ^ b[k]));
        i = last + 1;
    }
    delta.spans.shrink_to_fit();
    delta.bytes.shrink_to_fit();
    return delta;
}

void applyDelta(const ImageDelta& delta, ChannelDbImage& image) {
    const uint8_t* bits = delta.bytes.data();
    const size_t total = delta.bytes.size();
    size_t used = 0;
    for (size_t s = 0; s + 1 < delta.spans.size(); s += 2) {
        const size_t offset = delta.spans[s];
        const size_t length = delta.spans[s + 1];
        // A delta is only ever taken from two images, but it is never applied beyond one.
        if (offset > image.bytes.size() || length > image.bytes.size() - offset || length > total - used)
            return;
        for (size_t k = 0; k < length; ++k) image.bytes[offset + k] ^= bits[used + k];
        used += length;
    }
}

class ImageHistory::Step final : public QUndoCommand {
public:
    Step(ImageHistory& history, const QString& what, ImageDelta delta, const QList<int>& before,
         const QList<int>& after)
        : QUndoCommand(what), history_(history), delta_(std::move(delta)), before_(before), after_(after) {}

    void undo() override { history_.apply(delta_, before_); }
    void redo() override {
        // The change was made before the step was recorded.
        if (done_) history_.apply(delta_, after_);
        done_ = true;
    }
    [[nodiscard]] size_t bytesHeld() const {
        return sizeof(*this) + delta_.bytesHeld() +
               static_cast<size_t>(before_.capacity() + after_.capacity()) * sizeof(int) +
               static_cast<size_t>(text().capacity()) * sizeof(QChar);
    }

private:
    ImageHistory& history_;
    ImageDelta delta_;
    QList<int> before_;
    QList<int> after_;
    bool done_ = false;
};

ImageHistory::ImageHistory(ChannelDbImage& image, QObject* parent)
    : QObject(parent),
      image_(image),
      recorded_(std::make_unique<ChannelDbImage>(image)),
      stack_(new QUndoStack(this)) {
    stack_->setUndoLimit(kStepLimit);
}

ImageHistory::~ImageHistory() {
    // The steps refer to this history; they go first.
    delete stack_;
}

bool ImageHistory::record(const QString& what, const QList<int>& selectionBefore,
                          const QList<int>& selectionAfter) {
    ImageDelta delta = imageDelta(*recorded_, image_);
    if (delta.empty()) return false;
    applyDelta(delta, *recorded_);
    stack_->push(new Step(*this, what, std::move(delta), selectionBefore, selectionAfter));
    return true;
}

void ImageHistory::markSaved() { stack_->setClean(); }

bool ImageHistory::hasUnsavedChanges() const {
    // A change that no step holds counts too.
    return !stack_->isClean() || image_.bytes != recorded_->bytes;
}

size_t ImageHistory::bytesHeld() const {
    size_t total = sizeof(*recorded_);
    for (int k = 0; k < stack_->count(); ++k)
        if (const auto* step = dynamic_cast<const Step*>(stack_->command(k))) total += step->bytesHeld();
    return total;
}

void ImageHistory::apply(const ImageDelta& delta, const QList<int>& selection) {
    applyDelta(delta, image_);
    applyDelta(delta, *recorded_);
    emit applied(selection);
}

}  // namespace tovu::ui
