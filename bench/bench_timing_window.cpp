// The Switch Method Visualizer at the largest text size (1.3): one click on a setting's stepper,
// through the rebuilt card table to the repainted window, should fit in one 60 Hz frame
// (16.7 ms), and so should each frame of a panel's fade after a tab click; one rail should paint
// in under 2 ms. Figures go in bench/README.md.
//
// Runs on the offscreen platform, whose windows have a real backing store. A frame is the posted
// layout and paint work the event loop runs; the counters show one card table and at least one
// paint of the rail per click, and one paint per rail repaint.

#include "BenchGui.h"
#include "BenchModel.h"
#include "SwitchTiming/CardPanel.h"
#include "SwitchTiming/RailLegend.h"
#include "SwitchTiming/SettingRow.h"
#include "SwitchTiming/Stepper.h"
#include "SwitchTiming/SwitchTimingWindow.h"
#include "SwitchTiming/TabStrip.h"
#include "SwitcherModel.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Music.app as it is when fade-out switching can run, so that the window opens on the fade card.
class TapMusicApp final : public MusicApp {
public:
    bool isRunning() override { return true; }
    std::optional<SwitcherProtocol::MusicQuality> qualitySetting() override { return std::nullopt; }
    void scanLocalFiles(std::function<void(ScanResult)>) override {}
    bool processTapSupported() override { return true; }
};

// A model with measured load times, its settings (and the text size) in a private folder: in
// memory, or on the disk as a user's are.
struct Fixture {
    explicit Fixture(bool storeOnDisk = false)
        : dir((storeOnDisk || !QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                   ? QDir::tempPath()
                   : QStringLiteral("/dev/shm")) +
              QStringLiteral("/bench-timing-XXXXXX"))
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dir.filePath(QStringLiteral("config")));
        QSettings().setValue(QStringLiteral("switcher.settingsTextSize"), 3);
        settings =
            std::make_unique<QSettings>(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        settings->setValue(QStringLiteral("switcher.port"), freePort());
        auto engine = std::make_unique<RateSwitcher>(
            settings.get(), dir.filePath(QStringLiteral("History.json")), dir.path());
        for (qint64 ms : {700, 1100, 900, 1300, 800, 1000, 2400}) {
            PlaybackHistory::Entry entry;
            entry.title = QStringLiteral("Track");
            entry.musicStartMs = ms;
            engine->history().append(entry);
        }
        PlatformServices platform;
        platform.musicApp = &music;
        model = std::make_unique<SwitcherModel>(platform, std::move(engine), std::make_unique<StillClock>());
    }

    QTemporaryDir dir;
    TapMusicApp music;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<SwitcherModel> model;
};

void frame()
{
    QCoreApplication::processEvents();
}

void click(QWidget *widget, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

// The window at 860 × 760 over a fixture, shown and settled.
struct ShownWindow {
    explicit ShownWindow(bool storeOnDisk = false) : fixture(storeOnDisk), window(*fixture.model, &clock)
    {
        window.resize(860, 760);
        window.show();
        settle();
    }
    void settle()
    {
        for (int i = 0; i < 4; ++i)
            frame();
    }
    // Shows a card and case as a tab and a chip would, the panels' change run to its end.
    void show(const char *card, const char *caseId)
    {
        window.showCard(QString::fromLatin1(card));
        window.chooseCase(QString::fromLatin1(caseId));
        window.panelFade().setCurrentTime(window.panelFade().duration());
        settle();
    }

    Fixture fixture;
    StillClock clock;
    SwitchTimingWindow window;
};

// The Listening Window's stepper on the fade card, clicked up and down in turn. Each click has the
// engine write its setting, and the settings store writes its file on the next turn of the event
// loop: with the store in memory (0) the frame is the window's own work; on the disk (1) it
// includes the file's write, which depends on the disk and its load.
void BM_StepperClick(benchmark::State &state)
{
    ShownWindow shown(state.range(0) == 1);
    SwitchTimingWindow &window = shown.window;
    if (window.shownCardId() != u"fade" || window.view().textScale() != 1.3) {
        state.SkipWithError("the window did not open on the fade card at text size 1.3");
        return;
    }
    SettingRow *row = window.settingRows(SettingKey::listeningWindow).value(0);
    Stepper *stepper = row ? row->stepper() : nullptr;
    if (!stepper) {
        state.SkipWithError("no Listening Window stepper");
        return;
    }
    PaintCounter counter;
    window.cardPanel()->rail()->installEventFilter(&counter);
    const int buildsBefore = window.cardTableBuilds();
    bool up = true;
    for (auto _ : state) {
        click(stepper, (up ? stepper->upArrowRect() : stepper->downArrowRect()).center());
        up = !up;
        frame();
    }
    const int builds = window.cardTableBuilds() - buildsBefore;
    if (builds != state.iterations())
        state.SkipWithError("a click did not rebuild the card table exactly once");
    else if (counter.paints < state.iterations())
        state.SkipWithError("a click did not repaint the rail");
    state.SetLabel(state.range(0) == 1 ? "store on disk" : "store in memory");
    state.counters["tables"] = benchmark::Counter(builds, benchmark::Counter::kAvgIterations);
    state.counters["paints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StepperClick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Counts the paint events of the card panels, whichever panel is on show.
class PanelPaints final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<CardPanel *>(watched))
            ++paints;
        return false;
    }
};

// A click on a tab, the "stop" and "fade" tabs in turn: a new card panel made, laid out and
// painted, as far as the first frame after the click.
void BM_TabClick(benchmark::State &state)
{
    ShownWindow shown;
    SwitchTimingWindow &window = shown.window;
    PanelPaints counter;
    qApp->installEventFilter(&counter);
    int panels = 0;
    bool stop = true;
    for (auto _ : state) {
        const CardPanel *before = window.cardPanel();
        QWidget *tab = window.tabStrip()->tab(stop ? QStringLiteral("stop") : QStringLiteral("fade"));
        click(tab, tab->rect().center());
        stop = !stop;
        frame();
        panels += window.cardPanel() != before ? 1 : 0;
    }
    qApp->removeEventFilter(&counter);
    if (panels != state.iterations())
        state.SkipWithError("a click did not make the other card's panel");
    else if (counter.paints < state.iterations())
        state.SkipWithError("a click did not paint the new panel");
    state.counters["panels"] = benchmark::Counter(panels, benchmark::Counter::kAvgIterations);
    state.counters["paints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TabClick)->Unit(benchmark::kMillisecond);

// One frame of the change from the fade card's panel to the stop card's, held between 10 and
// 130 ms of its 150: the old panel's picture fading over the new panel, the panel's height going
// from the one to the other with everything below it, the two tabs' looks crossing. `paints`
// counts the new panel's paint events, `heights` the frames that moved the panel's height, and
// `still` the paints of the legend above, which no frame should repaint.
void BM_PanelFadeFrame(benchmark::State &state)
{
    ShownWindow shown;
    SwitchTimingWindow &window = shown.window;
    QWidget *tab = window.tabStrip()->tab(QStringLiteral("stop"));
    click(tab, tab->rect().center());
    QVariantAnimation &fade = window.panelFade();
    fade.pause();
    frame();
    PanelPaints counter;
    qApp->installEventFilter(&counter);
    PaintCounter still;
    window.legend()->installEventFilter(&still);
    QWidget *slot = window.cardPanel()->parentWidget();
    int heights = 0;
    int step = 0;
    for (auto _ : state) {
        const int before = slot->height();
        fade.setCurrentTime(10 + 10 * (step++ % 13));
        frame();
        heights += slot->height() != before ? 1 : 0;
    }
    qApp->removeEventFilter(&counter);
    if (!window.fadingPanel())
        state.SkipWithError("the change was over before the frames were measured");
    else if (counter.paints < state.iterations())
        state.SkipWithError("a frame did not paint the new panel");
    else if (heights != state.iterations())
        state.SkipWithError("a frame did not move the panel's height");
    else if (still.paints != 0)
        state.SkipWithError("a frame repainted the legend, which the change leaves as it was");
    state.counters["paints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
    state.counters["heights"] = benchmark::Counter(heights, benchmark::Counter::kAvgIterations);
    state.counters["still"] = benchmark::Counter(still.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PanelFadeFrame)->Unit(benchmark::kMillisecond);

// One rail repainted, for each card and case (0 fade/found … 6 pick).
void BM_RailPaint(benchmark::State &state)
{
    static const std::pair<const char *, const char *> cases[] = {
        {"fade", "found"}, {"fade", "late"}, {"stop", "stop"}, {"pause", "pause"},
        {"lead", "lead"},  {"none", "none"}, {"pick", "pick"},
    };
    const auto &[card, caseId] = cases[state.range(0)];
    ShownWindow shown;
    shown.show(card, caseId);
    TimelineRail *rail = shown.window.cardPanel()->rail();
    PaintCounter counter;
    rail->installEventFilter(&counter);
    for (auto _ : state)
        rail->repaint();
    if (counter.paints != state.iterations())
        state.SkipWithError("a repaint did not paint the rail once");
    state.SetLabel(std::string(card) + '/' + caseId);
    state.counters["paints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
    state.counters["width"] = rail->width();
}
BENCHMARK(BM_RailPaint)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

// The card table alone, as every change builds it.
void BM_MakeCards(benchmark::State &state)
{
    Fixture fixture;
    const SwitchTimingView view(fixture.model.get());
    qsizetype cards = 0;
    for (auto _ : state) {
        const QList<SwitchTimingView::Card> table = view.makeCards();
        cards += table.size();
        benchmark::DoNotOptimize(table);
    }
    if (cards != 6 * state.iterations())
        state.SkipWithError("a table did not hold the six cards");
}
BENCHMARK(BM_MakeCards)->Unit(benchmark::kMicrosecond);

} // namespace

CORVANE_BENCHMARK_MAIN_WITH_APPLICATION()
