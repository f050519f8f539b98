// Helpers of the editor's widget tests: the application object, driving modal dialogs, images
// with services, and the receiver simulator as a child process.
#pragma once

#include "FakePrompts.h"

#include "db/ChannelRecord.h"
#include "db/DbImage.h"
#include "db/FavLists.h"
#include "db/NameCodec.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace tovu::ui::test {

// The one application object of the test program (never destroyed, see testApplication).
inline QApplication& uiApplication() { return testApplication(); }

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

// Replaces an edit's text as a user does: select everything, then type over it or delete it.
inline void retype(QLineEdit* edit, const QString& text) {
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
    typeText(edit, text);
}

// Picks a choice box's entry with the keyboard.
inline void pick(QComboBox* box, int entry) {
    QTest::keyClick(box, Qt::Key_Home);
    for (int k = 0; k < entry; ++k) QTest::keyClick(box, Qt::Key_Down);
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
    for (int i = 0; i < n; ++i) {
        const int index = addChannel(*image, makeService(static_cast<uint16_t>(101 + i), 1, kProgTv,
                                                         "Service " + std::to_string(i + 1)));
        EXPECT_EQ(index, i);
    }
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

inline std::string binaryPath(const char* name) { return std::string(TOVU_BINARY_DIR) + "/bin/" + name; }

// build/bin/stb-sim as a child process listening on its own loopback address.
class SimReceiver {
public:
    SimReceiver(const QString& address, const QStringList& options) {
        process_.setProgram(QString::fromStdString(binaryPath("stb-sim")));
        process_.setArguments(QStringList{QStringLiteral("--listen"), address} + options);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        if (!process_.waitForStarted(5000)) return;
        QElapsedTimer clock;
        clock.start();
        while (!process_.canReadLine() && clock.elapsed() < 10000) process_.waitForReadyRead(200);
        listening_ = process_.readLine().startsWith("listening on ");
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

inline bool simulatorBuilt() { return std::filesystem::exists(binaryPath("stb-sim")); }

}  // namespace tovu::ui::test
