// The rail's layout (what paint, clicks and tooltips share), the step list's, and the flow layout.
#include "TimingWindowSupport.h"

#include "SwitchTiming/FlowLayout.h"
#include "SwitchTiming/RailSteps.h"

namespace {

RailMark mark(double t, std::optional<SettingKey> key = std::nullopt, bool strong = false)
{
    RailMark m;
    m.t = t;
    m.label = QStringLiteral("Step at %1").arg(t);
    m.setting = key;
    m.strong = strong;
    return m;
}

RailBand band(double from, double to, const QString &label, std::optional<double> fadeAt = std::nullopt)
{
    RailBand b;
    b.from = from;
    b.to = to;
    b.fill = RailFill::old;
    b.label = label;
    b.fadeAt = fadeAt;
    return b;
}

RailParams params(double scale = 1.0)
{
    RailParams p;
    p.tMin = -6;
    p.tMax = 2;
    p.textScale = scale;
    return p;
}

} // namespace

TEST(TimelineRailLayout, timeMapsOntoTheLanesAndCloseMarksTakeRowsOfTheirOwn)
{
    RailSpec spec;
    spec.music = {band(-6, 0, "outgoing track"), band(0, 2, "next")};
    spec.output = {band(-6, 2, "current rate, unchanged")};
    spec.marks = {mark(0), mark(-4, SettingKey::listeningWindow), mark(0, std::nullopt, true), mark(0.02)};
    spec.zeroLabel = QStringLiteral("the end of the outgoing track");
    const RailFonts fonts = RailFonts::make(params());
    const RailLayout l = TimelineRail::layout(spec, params(), QRectF(0, 0, 896, 0), fonts);

    const double left = l.musicLane.left();
    EXPECT_GE(left, 96);
    EXPECT_NEAR(*l.zeroX, left + 0.75 * (896 - left), 0.01);
    EXPECT_NEAR(l.bands[0].rect.right(), *l.zeroX, 0.01);
    EXPECT_NEAR(l.zeroLabelRect.center().x(), *l.zeroX, 0.5) << "the caption is centred on its line";

    // Numbered in time order; the three at (almost) zero stack instead of overlapping.
    QList<int> numbers;
    for (const RailLayout::Mark &m : l.marks)
        numbers.append(m.number);
    EXPECT_EQ(numbers, (QList<int>{1, 2, 3, 4}));
    EXPECT_EQ(l.marks[0].index, 1);
    for (qsizetype i = 1; i < l.marks.size(); ++i) {
        for (qsizetype j = i + 1; j < l.marks.size(); ++j)
            EXPECT_FALSE(l.marks[i].disc.intersects(l.marks[j].disc)) << i << " and " << j;
        EXPECT_LE(l.marks[i].disc.bottom(), l.musicLane.top());
    }
    EXPECT_GT(l.height, l.outputLane.bottom());
}

TEST(TimelineRailLayout, labelsShowWholeOrShortenedOrNotAtAll)
{
    RailSpec spec;
    // A fading band's label sits where the music is still loud.
    spec.music = {band(-6, -0.05, "outgoing track", -2.0), band(-0.05, 0, "a label far too long for it")};
    spec.output = {band(-6, 2, "current rate")};
    for (double scale : {0.9, 1.0, 1.15, 1.3}) {
        const RailLayout l =
            TimelineRail::layout(spec, params(scale), QRectF(0, 0, 700, 0), RailFonts::make(params(scale)));
        EXPECT_EQ(l.musicLabel, "Music.app") << scale;
        EXPECT_EQ(l.outputLabel, "Output rate") << "never shortened, at " << scale;
        EXPECT_EQ(l.bands[0].text, "outgoing track");
        EXPECT_LT(l.bands[0].textRect.center().x(), l.bands[0].rect.center().x());
        EXPECT_EQ(l.bands[1].text, "") << "no room at all";
        EXPECT_EQ(l.toolTipAt(l.bands[1].rect.center()), "a label far too long for it");
        EXPECT_EQ(l.toolTipAt(l.bands[2].rect.center()), "") << "nothing hidden, nothing to add";
    }
}

TEST(TimelineRailLayout, aClickFindsTheSettingOfAMarkOrASpanLabel)
{
    RailSpec spec;
    spec.music = {band(-6, 2, "music")};
    spec.output = {band(-6, 2, "output")};
    spec.marks = {mark(-4, SettingKey::listeningWindow), mark(-1, std::nullopt, true)};
    RailSpan keyed{QUuid::createUuid(), -1, 0, QStringLiteral("Relock Time 1200 ms"), RailColor::relock,
                   SettingKey::relock};
    RailSpan plain{QUuid::createUuid(),  -5,          -1, QStringLiteral("next track kept back"),
                   RailColor::secondary, std::nullopt};
    spec.spans = {keyed, plain};
    const RailLayout l =
        TimelineRail::layout(spec, params(), QRectF(0, 0, 800, 0), RailFonts::make(params()));
    // Only what carries a setting is a link: the first mark and the first span's label.
    const QList<RailLayout::Hit> links = l.keyedTargets();
    ASSERT_EQ(links.size(), 2);
    EXPECT_EQ(links[0].setting, SettingKey::listeningWindow);
    EXPECT_EQ(links[0].area, l.marks[0].disc);
    EXPECT_EQ(links[1].setting, SettingKey::relock);
    EXPECT_EQ(links[1].area, l.spans[0].labelRect);
    EXPECT_EQ(l.hitAt(l.musicLane.center())->kind, RailLayout::Hit::Kind::band);
    EXPECT_EQ(l.toolTipAt(l.marks[1].disc.center()), "2. Step at -1");
    EXPECT_FALSE(l.spans[0].labelRect.intersects(l.spans[1].labelRect));
}

TEST(RailStepsLayout, twoColumnsInStepOrderWrappedBesideTheirDiscs)
{
    QList<RailMark> marks = {mark(1), mark(-1, SettingKey::pausePoint), mark(0), mark(2), mark(3)};
    marks[0].label =
        QStringLiteral("A step whose words take several lines of the narrow column they stand in");
    const RailStepsLayout l = RailSteps::layout(marks, 2, QRectF(0, 0, 400, 0), RailSteps::Fonts::make(1.0));
    ASSERT_EQ(l.items.size(), 5);
    EXPECT_EQ(l.items[0].index, 1);
    EXPECT_EQ(l.items[0].setting, SettingKey::pausePoint);
    // Three down the first column, each below the one before, the last one wrapped; two down the second.
    EXPECT_EQ(l.items[1].disc.left(), l.items[0].disc.left());
    EXPECT_GT(l.items[2].textRect.top(), l.items[1].textRect.bottom());
    EXPECT_GT(l.items[2].textRect.height(), 2 * l.items[1].textRect.height());
    EXPECT_GT(l.items[3].disc.left(), l.items[2].textRect.right());
    EXPECT_EQ(l.items[3].textRect.top(), l.items[0].textRect.top());
    EXPECT_EQ(l.itemAt(l.items[0].textRect.center()), &l.items[0]);
    EXPECT_GE(l.height, l.items[2].textRect.bottom());
}

TEST(FlowLayout, wrapsSkipsHiddenWidgetsAndAgreesWithItsHeightForWidth)
{
    QWidget host;
    auto *flow = new FlowLayout(6, 4, &host);
    QList<QWidget *> items;
    for (int i = 0; i < 3; ++i) {
        auto *w = new QWidget(&host);
        w->setFixedSize(100, 20 + 10 * i);
        flow->addWidget(w);
        items.append(w);
    }
    host.show();
    EXPECT_EQ(flow->heightForWidth(250), 30 + 4 + 40) << "two rows, each as high as its tallest";
    flow->setGeometry(QRect(0, 0, 250, flow->heightForWidth(250)));
    EXPECT_EQ(flow->rowCount(), 2);
    EXPECT_EQ(items[1]->geometry(), QRect(106, 0, 100, 30));
    EXPECT_EQ(items[0]->geometry().top(), 5) << "centred on its row";
    EXPECT_EQ(items[2]->geometry().topLeft(), QPoint(0, 34));

    items[1]->hide();
    EXPECT_EQ(flow->heightForWidth(250), 40);
    flow->setGeometry(QRect(0, 0, 250, 40));
    EXPECT_EQ(flow->rowCount(), 1);
    EXPECT_EQ(items[2]->geometry().topLeft(), QPoint(106, 0));
}
