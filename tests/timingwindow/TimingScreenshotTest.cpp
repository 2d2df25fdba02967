// Pictures of every card and case at two text sizes, right to left and in a dark palette, for a
// person to look at (written only when CORVANE_SCREENSHOTS_DIR names a folder); each is checked
// for what a reader would trip over: labels of a rail that overlap, text cut off at the panel's
// edge, text that does not stand out in the dark.

#include "TimingWindowSupport.h"

#include "PictureProbe.h"
#include "SwitchTiming/CardHeader.h"
#include "SwitchTiming/CasePicker.h"
#include "SwitchTiming/PanelSlot.h"
#include "SwitchTiming/TabStrip.h"
#include "SwitchTiming/ToneLabel.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

#include <cmath>

using namespace TimingWindowTest;

namespace {

// Saves the picture as it stands, a change under way included.
void saveAsShown(QWidget &widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("CORVANE_SCREENSHOTS_DIR");
    if (folder.isEmpty())
        return;
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(widget.grab().save(QDir(folder).filePath(name + QStringLiteral(".png"))))
        << name.toStdString();
}

// Saves the picture once the panels' change has come to rest.
void save(QWidget &widget, const QString &name)
{
    auto *window = qobject_cast<SwitchTimingWindow *>(widget.window());
    if (window && window->panelFade().state() != QAbstractAnimation::Stopped) {
        if (window->panelFade().state() == QAbstractAnimation::Paused)
            window->panelFade().resume();
        window->panelFade().setCurrentTime(window->panelFade().duration());
    }
    settle();
    saveAsShown(widget, name);
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

TEST(TimingScreenshot, EveryCardAndCaseAtTwoTextSizesAndRightToLeft)
{
    ModelHarness h;
    addMeasuredPlays(h);
    // The two text sizes at the ideal width, the largest at the least width the window allows (0
    // asks for it), and the largest right to left.
    const struct {
        int index, width;
        bool rightToLeft;
    } looks[] = {{1, 860, false}, {3, 860, false}, {3, 0, false}, {3, 860, true}};
    for (const auto &[index, width, rightToLeft] : looks) {
        setTextSize(index);
        Shown shown(h, QSize(width, 760));
        SwitchTimingWindow &w = shown.window;
        w.setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        const QString look =
            QStringLiteral("%1-%2%3").arg(index).arg(w.width()).arg(rightToLeft ? "-rtl" : "");
        QWidget *content = w.scrollArea()->widget();
        for (const QString card : {"fade", "stop", "pause", "lead", "none", "pick"}) {
            w.showCard(card);
            const QStringList cases = card == u"fade" ? QStringList{"found", "late"} : QStringList{card};
            for (const QString &c : cases) {
                w.chooseCase(c);
                settle();
                const std::string where = QStringLiteral("%1/%2 at %3").arg(card, c, look).toStdString();
                ASSERT_EQ(w.shownCardId(), card);
                TimelineRail *rail = w.cardPanel()->rail();
                expectReadable(rail->currentLayout(), QRectF(rail->rect()), where);
                expectNothingClipped(*w.cardPanel(), where);
                save(*content, QStringLiteral("timing-%1-%2-%3").arg(card, c, look));
            }
        }
        save(w, QStringLiteral("timing-window-%1").arg(look));
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
    EXPECT_EQ(narrow.window.cardPanel()->rail()->width(), 560 - 2 * 14) << "inside the card's padding";
    expectNothingClipped(*narrow.window.cardPanel(), "W = 560");
    save(narrow.window, QStringLiteral("timing-narrow-3"));
}

// A picked tab half-way: both tabs between their looks, the panels crossing and the closing hint
// moving with the height; then at rest; the same for a case chip. Mid-way nothing of the panels
// reaches over the hint.
TEST(TimingScreenshot, ATabChangeMidWayAndAtRest)
{
    ModelHarness h;
    addMeasuredPlays(h);
    setTextSize(1);
    Shown shown(h, QSize(860, 1100));
    SwitchTimingWindow &w = shown.window;
    // Two tabs, then the fade card's late case by its chip.
    for (const char *card : {"pick", "fade", "late"}) {
        if (CasePicker *picker = w.cardPanel()->casePicker(); picker && QByteArray(card) == "late")
            QTest::mouseClick(picker, Qt::LeftButton, {}, picker->chipRects()[1].center().toPoint());
        else
            QTest::mouseClick(w.tabStrip()->tab(card), Qt::LeftButton);
        w.panelFade().pause();
        w.panelFade().setCurrentTime(75);
        settle();
        PanelSlot &slot = *w.panelSlot();
        ASSERT_TRUE(w.fadingPanel());
        EXPECT_LE(slot.geometry().bottom(), w.closingHint()->geometry().top());
        // The window's background to every edge, the corners of the panels' crossing included.
        const QImage picture = PictureProbe::picture(w);
        const QColor background = SystemColors::windowBackground(SystemColors::Appearance::light);
        EXPECT_EQ(picture.pixelColor(w.introduction()->mapTo(&w, QPoint(-8, 0))), background);
        EXPECT_EQ(picture.pixelColor(slot.mapTo(&w, QPoint(0, 0))), background);
        saveAsShown(w, QStringLiteral("timing-change-%1-mid").arg(card));
        save(w, QStringLiteral("timing-change-%1-rest").arg(card));
        EXPECT_EQ(w.fadingPanel(), nullptr);
        // Nothing of the change is left on the screen: it shows what the window draws afresh.
        const QImage onScreen =
            w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(onScreen, PictureProbe::picture(w)) << card;
    }
}
