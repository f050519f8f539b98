// The editor window's speed: rebuilding the service list with 1000 services, one keystroke in
// its filter, start-up to the window shown; and the memory of the undo history. Runs offscreen.
#include "db/ChannelRecord.h"
#include "db/DbImage.h"
#include "db/NameCodec.h"
#include "ui/FilterField.h"
#include "ui/ImageHistory.h"
#include "ui/MainEditorDialog.h"
#include "ui/UserPrompts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWindow>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace {

using tovu::ChannelDbImage;
using tovu::ChannelRecord;

// The argument that makes this program measure one cold start and print it.
constexpr const char* kColdStartOnce = "--cold-start-once";

// Prompts that answer nothing; the benchmarks run no command that asks.
class SilentPrompts final : public tovu::ui::UserPrompts {
public:
    void showMessage(QWidget*, const QString&, const QString&, tovu::ui::MessageIcon) override {}
    bool confirm(QWidget*, const QString&, const QString&, tovu::ui::MessageIcon) override { return false; }
    tovu::ui::SaveChoice askSaveDiscardCancel(QWidget*, const QString&, const QString&,
                                              tovu::ui::MessageIcon) override {
        return tovu::ui::SaveChoice::Cancel;
    }
    std::optional<QString> chooseFile(QWidget*, const tovu::ui::FileChooserPreset&) override { return {}; }
    std::optional<QString> chooseEnigmaFolder(QWidget*) override { return {}; }
    std::optional<tovu::ImportChoices> chooseImportChoices(QWidget*, const tovu::ImportSurvey&) override {
        return {};
    }
};

std::unique_ptr<ChannelDbImage> imageWith1000Services() {
    auto image = std::make_unique<ChannelDbImage>();
    for (int i = 0; i < 1000; ++i) {
        ChannelRecord r;
        r.serviceId = static_cast<uint16_t>(i + 1);
        r.transponderId = static_cast<uint16_t>(i / 20 + 1);
        r.originalNetworkId = 1;
        r.flags = (static_cast<uint32_t>(1 + i % 3) << tovu::kProgTypeShift) | (2u << tovu::kAudioShift);
        r.frequencyKHz = 474000 + 8000u * static_cast<uint32_t>(i / 20);
        r.symbolRate = 6875;
        r.qam = static_cast<uint32_t>(i % 6);
        const std::string name = tovu::utf8ToName((i % 2 ? "中文频道 " : "Channel ") + std::to_string(i + 1));
        std::memcpy(r.name.data(), name.data(), std::min(name.size(), r.name.size()));
        if (tovu::addChannel(*image, r) < 0) return nullptr;
    }
    return image;
}

void BM_FillChannelList1000(benchmark::State& state) {
    auto image = imageWith1000Services();
    auto snapshot = std::make_unique<ChannelDbImage>();
    SilentPrompts prompts;
    tovu::ui::MainEditorDialog window(*image, *snapshot, prompts);
    window.show();
    QApplication::processEvents();
    int row = 0;
    for (auto _ : state) {
        window.fillChannelList(row);
        row = (row + 337) % 1000;
        QApplication::processEvents();  // the view lays out and paints the new rows
    }
}
BENCHMARK(BM_FillChannelList1000)->Unit(benchmark::kMillisecond);

// One keystroke in the filter above 1000 services, until the list has shown the rows that match:
// typing "5" into the empty field (612 rows stay) and Backspace (all 1000 come back), in turn.
void BM_FilterKeystroke1000(benchmark::State& state) {
    auto image = imageWith1000Services();
    auto snapshot = std::make_unique<ChannelDbImage>();
    SilentPrompts prompts;
    tovu::ui::MainEditorDialog window(*image, *snapshot, prompts);
    window.show();
    window.fillChannelList(0);
    QApplication::processEvents();
    tovu::ui::FilterField* filter = window.filterField();
    filter->setFocus();
    for (auto _ : state) {
        const bool erase = !filter->text().isEmpty();
        QKeyEvent press(QEvent::KeyPress, erase ? Qt::Key_Backspace : Qt::Key_5, Qt::NoModifier,
                        erase ? QString() : QStringLiteral("5"));
        QApplication::sendEvent(filter, &press);
        QApplication::processEvents();  // the view lays out and paints the rows shown
    }
    state.counters["rowsShown"] = window.channelList()->model()->rowCount();
}
BENCHMARK(BM_FilterKeystroke1000)->Unit(benchmark::kMillisecond);

// The undo history after N steps that each change every byte of the image: the bytes its steps
// and its copy of the image hold (counted), and what the heap grew by (measured).
void BM_UndoHistoryMemory(benchmark::State& state) {
    const auto steps = static_cast<int>(state.range(0));
    std::mt19937 random(7);
    double counted = 0;
    double measured = 0;
    for (auto _ : state) {
        auto image = std::make_unique<ChannelDbImage>();
        const size_t heapBefore = mallinfo2().uordblks;
        {
            tovu::ui::ImageHistory history(*image);
            for (int k = 0; k < steps; ++k) {
                for (auto& byte : image->bytes) byte = static_cast<uint8_t>(random() | 1u) ^ byte;
                (void)history.record(QStringLiteral("Load Channel Info DB"), {0}, {0});
            }
            counted = static_cast<double>(history.bytesHeld());
            measured = static_cast<double>(mallinfo2().uordblks - heapBefore);
        }
    }
    state.counters["countedMiB"] = counted / (1 << 20);
    state.counters["heapMiB"] = measured / (1 << 20);
}
BENCHMARK(BM_UndoHistoryMemory)
    ->Arg(100)
    ->Arg(tovu::ui::ImageHistory::kStepLimit)
    ->Unit(benchmark::kMillisecond);

// Constructing the window and showing it until the window system reports it exposed.
void BM_StartupToWindowShown(benchmark::State& state) {
    auto image = std::make_unique<ChannelDbImage>();
    auto snapshot = std::make_unique<ChannelDbImage>();
    SilentPrompts prompts;
    for (auto _ : state) {
        tovu::ui::MainEditorDialog window(*image, *snapshot, prompts);
        window.show();
        while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed())
            QApplication::processEvents();
        QApplication::processEvents();
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToWindowShown)->Unit(benchmark::kMillisecond);

// The cold start of one process: the application object, the first window and everything Qt
// loads for them, up to the window shown, in seconds.
double coldStartSeconds(char* program) {
    const auto start = std::chrono::steady_clock::now();
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    QApplication app(qtArgc, qtArgv);
    auto image = std::make_unique<ChannelDbImage>();
    SilentPrompts prompts;
    tovu::ui::MainEditorDialog window(*image, *image, prompts);
    window.show();
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed())
        QApplication::processEvents();
    QApplication::processEvents();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration starts a fresh copy of this program, which measures its own cold start and
// prints the seconds; every figure is a sample of its own.
void BM_ColdStartToWindowShown(benchmark::State& state) {
    std::string command = "'";
    command += std::filesystem::read_symlink("/proc/self/exe").string();
    command += "' ";
    command += kColdStartOnce;
    for (auto _ : state) {
        double seconds = -1;
        if (FILE* child = popen(command.c_str(), "r")) {
            if (std::fscanf(child, "%lf", &seconds) != 1) seconds = -1;
            if (pclose(child) != 0) seconds = -1;
        }
        if (seconds < 0) {
            state.SkipWithError("the editor window did not start");
            break;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_ColdStartToWindowShown)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 2 && std::strcmp(argv[1], kColdStartOnce) == 0) {
        std::printf("%.6f\n", coldStartSeconds(argv[0]));
        return 0;
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
