// Pictures of every card and case at two text sizes, in a dark palette, right to left and in the
// middle of a tab change, for a person to look at (written only when CORVANE_SCREENSHOTS_DIR
// names a folder); each is checked for what a reader would trip over: labels of a rail that
// overlap, text cut off at the panel's edge, text that does not stand out in the dark.

#include "TimingWindowSupport.h"

#include "PictureProbe.h"
#include "SwitchTiming/CardHeader.h"
#include "SwitchTiming/RailSteps.h"
#include "SwitchTiming/TabStrip.h"
#include "SwitchTiming/ToneLabel.h"

#include <QApplication>
#include <QDir>
#include <QScrollArea>
#include <QTest>

#include <cmath>

using namespace TimingWindowTest;

namespace {

// Saves the picture; unless `midway`, after the panels' change has come to rest.
void save(QWidget &widget, const QString &name, bool midway = false)
{
    auto *window = qobject_cast<SwitchTimingWindow *>(widget.window());
    if (!midway && window && window->panelFade().state() != QAbstractAnimation::Stopped)
        window->panelFade().setCurrentTime(window->panelFade().duration());
    settle();
    const QString folder = qEnvironmentVariable("CORVANE_SCREENSHOTS_DIR");
    if (folder.isEmpty())
        return;
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(widget.grab().save(QDir(folder).filePath(name + QStringLiteral(".png"))))
        << name.toStdString();
}

// The relative luminance of a colour, and the contrast of two, as the web's accessibility
// guidelines measure them: 1 (none) to 21 (black on white).
double luminance(const QColor &colour)
{
    const auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Nothing the rail writes overlaps anything else it writes, and nothing leaves the rail.
void expectReadable(const RailLayout &l, const QRectF &bounds, const std::string &where)
{
    QList<std::pair<QRectF, QString>> labels;
    for (const RailLayout::Band &band : l.bands) {
        if (!band.text.isEmpty()) {
            labels.append({band.textRect, band.text});
            EXPECT_TRUE(band.rect.adjusted(-0.5, -0.5, 0.5, 0.5).contains(band.textRect))
                << where << ": band label outside its band: " << band.text.toStdString();
        }
    }
    for (const RailLayout::Span &span : l.spans)
        labels.append({span.labelRect, span.text});
    for (const RailLayout::Mark &mark : l.marks)
        labels.append({mark.disc, QString::number(mark.number)});
    if (!l.zeroText.isEmpty())
        labels.append({l.zeroLabelRect, l.zeroText});
    for (qsizetype i = 0; i < labels.size(); ++i) {
        EXPECT_TRUE(bounds.adjusted(-0.5, -0.5, 0.5, 0.5).contains(labels[i].first))
            << where << ": outside the rail: " << labels[i].second.toStdString();
        for (qsizetype j = i + 1; j < labels.size(); ++j) {
            const QRectF overlap = labels[i].first.intersected(labels[j].first);
            EXPECT_FALSE(overlap.width() > 0.5 && overlap.height() > 0.5)
                << where << ": " << labels[i].second.toStdString() << " overlaps "
                << labels[j].second.toStdString();
        }
    }
}

// Every label and control of the panel fits inside it, at its size hint.
void expectNothingClipped(QWidget &panel, const std::string &where)
{
    const QRect inside = panel.rect();
    for (QWidget *child : panel.findChildren<QWidget *>()) {
        if (!child->isVisible())
            continue;
        const QRect box(child->mapTo(&panel, QPoint(0, 0)), child->size());
        EXPECT_TRUE(inside.contains(box))
            << where << ": " << child->metaObject()->className() << " leaves the panel";
        if (child->sizePolicy().horizontalPolicy() == QSizePolicy::Fixed) {
            EXPECT_GE(child->width(), child->sizeHint().width())
                << where << ": " << child->metaObject()->className() << " narrower than it needs";
        }
    }
}

} // namespace

TEST(TimingScreenshot, EveryCardAndCaseAtTwoTextSizes)
{
    ModelHarness h;
    addMeasuredPlays(h);
    // The two text sizes at the ideal width, and the largest at the narrowest the window gets.
    for (const auto &[index, width] : {std::pair(1, 860), std::pair(3, 860), std::pair(3, 720)}) {
        setTextSize(index);
        Shown shown(h, QSize(width, 760));
        SwitchTimingWindow &w = shown.window;
        QWidget *content = w.scrollArea()->widget();
        for (const QString card : {"fade", "stop", "pause", "lead", "none", "pick"}) {
            w.showCard(card);
            const QStringList cases = card == u"fade" ? QStringList{"found", "late"} : QStringList{card};
            for (const QString &c : cases) {
                w.chooseCase(c);
                settle();
                const std::string where = QStringLiteral("%1/%2 at size %3, %4 wide")
                                              .arg(card, c)
                                              .arg(index)
                                              .arg(width)
                                              .toStdString();
                ASSERT_EQ(w.shownCardId(), card);
                TimelineRail *rail = w.cardPanel()->rail();
                expectReadable(rail->currentLayout(), QRectF(rail->rect()), where);
                expectNothingClipped(*w.cardPanel(), where);
                save(*content, QStringLiteral("timing-%1-%2-%3-%4").arg(card, c).arg(index).arg(width));
            }
        }
        save(w, QStringLiteral("timing-window-%1-%2").arg(index).arg(width));
    }
}

TEST(TimingScreenshot, DarkPaletteAndNarrowWindow)
{
    ModelHarness h;
    setTextSize(3);
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x32, 0x32, 0x32));
    dark.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Button, QColor(0x4a, 0x4a, 0x4a));
    dark.setColor(QPalette::ButtonText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        dark.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    QApplication::setPalette(dark);
    {
        Shown shown(h);
        shown.window.showCard("fade");
        shown.window.chooseCase("late");
        save(*shown.window.scrollArea()->widget(), QStringLiteral("timing-dark-fade-late-3"));
        shown.window.showCard("stop");
        save(*shown.window.scrollArea()->widget(), QStringLiteral("timing-dark-stop-3"));
        expectReadable(shown.window.cardPanel()->rail()->currentLayout(),
                       QRectF(shown.window.cardPanel()->rail()->rect()), "dark stop");

        // What a reader sees: a dark window and a dark panel, and text on each that stands out
        // from it as much as body text must (a contrast of 4.5 to 1).
        SwitchTimingWindow &w = shown.window;
        const QImage picture = PictureProbe::picture(w);
        CardPanel &panel = *w.cardPanel();
        const QColor windowFill = picture.pixelColor(w.introduction()->mapTo(&w, QPoint(-8, 0)));
        const QColor panelFill = picture.pixelColor(panel.mapTo(&w, QPoint(6, panel.note()->y())));
        EXPECT_LT(luminance(windowFill), 0.05) << windowFill.name().toStdString();
        EXPECT_LT(luminance(panelFill), 0.05) << panelFill.name().toStdString();
        const auto strongest = [&](QWidget &widget, QRect local, const QColor &fill) {
            const QRect region = PictureProbe::inWindow(widget, local).intersected(picture.rect());
            double best = 1;
            for (int y = region.top(); y <= region.bottom(); ++y) {
                for (int x = region.left(); x <= region.right(); ++x)
                    best = std::max(best, contrast(picture.pixelColor(x, y), fill));
            }
            return best;
        };
        EXPECT_GE(strongest(*w.introduction(), w.introduction()->rect(), windowFill), 4.5);
        EXPECT_GE(strongest(*panel.note(), panel.note()->rect(), panelFill), 4.5);
        TimelineRail &rail = *panel.rail();
        EXPECT_GE(strongest(rail, rail.currentLayout().musicLabelRect.toRect(), panelFill), 4.5);
        EXPECT_GE(strongest(*panel.header(), panel.header()->rect(), panelFill), 4.5);
    }
    QApplication::setPalette(light);

    // Narrower than the window allows: the rails keep W = 560.
    Shown narrow(h, QSize(500, 600));
    narrow.window.setMinimumSize(0, 0);
    narrow.window.resize(500, 600);
    settle();
    EXPECT_EQ(narrow.window.cardPanel()->rail()->width(), 560 - 2 * int(SwitchTimingView::cardPadding));
    expectNothingClipped(*narrow.window.cardPanel(), "W = 560");
    save(narrow.window, QStringLiteral("timing-narrow-3"));
}

TEST(TimingScreenshot, RightToLeft)
{
    ModelHarness h;
    addMeasuredPlays(h);
    setTextSize(3);
    Shown shown(h);
    shown.window.setLayoutDirection(Qt::RightToLeft);
    for (const QString card : {"fade", "stop"}) {
        shown.window.showCard(card);
        settle();
        const std::string where = "right to left, " + card.toStdString();
        TimelineRail *rail = shown.window.cardPanel()->rail();
        expectReadable(rail->currentLayout(), QRectF(rail->rect()), where);
        expectNothingClipped(*shown.window.cardPanel(), where);
        save(shown.window, QStringLiteral("timing-rtl-%1-3").arg(card));
    }
}

// A tab picked: half-way through the change, the new panel shows through the old one's picture;
// at rest, the new panel alone.
TEST(TimingScreenshot, TabChangeMidwayAndAtRest)
{
    ModelHarness h;
    setTextSize(1);
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    QTest::mouseClick(w.tabStrip()->tab("stop"), Qt::LeftButton);
    ASSERT_EQ(w.panelFade().state(), QAbstractAnimation::Running);
    w.panelFade().pause(); // held half-way while the picture is taken
    w.panelFade().setCurrentTime(75);
    save(w, QStringLiteral("timing-tab-change-midway"), true);
    ASSERT_TRUE(w.fadingPanel() && w.fadingPanel()->isVisible());
    save(w, QStringLiteral("timing-tab-change-at-rest"));
    EXPECT_EQ(w.fadingPanel(), nullptr);
    expectNothingClipped(*w.cardPanel(), "stop, at rest");
}
