#include "SwitchTimingWindow.h"

#include "CardPanel.h"
#include "PanelSlot.h"
#include "Platform/FontStyles.h"
#include "RailLegend.h"
#include "SettingFlash.h"
#include "SettingRow.h"
#include "TabStrip.h"
#include "ToneLabel.h"
#include "WindowFactories.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitchTiming)
};

using Group = SwitchTimingView::Group;

constexpr int stackInset = 20;
constexpr int stackSpacing = 18;

// The Relock Time's card, on the neutral panel.
class RelockSection final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override { paintPanel(*this, Group::always); }
};

// The scroll view's content. Its height follows its width (labels wrap, rails grow with the text
// size), which the scroll view only asks once; the content keeps its minimum height at what its
// width needs, so that the scroll view always scrolls the whole of it.
class ScrollContent final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    bool event(QEvent *event) override
    {
        const bool handled = QWidget::event(event);
        if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize)
            fitHeight();
        return handled;
    }

private:
    void fitHeight()
    {
        if (!layout())
            return;
        const int height = layout()->totalHeightForWidth(width());
        if (height > 0 && height != minimumHeight())
            setMinimumHeight(height);
    }
};

QString introductionText(bool measured)
{
    if (measured) {
        //: The visualizer's introduction, once Music.app's load times have been measured.
        return Tr::tr(
            "Every method on one clock, drawn with your settings and Music.app's measured load. Time "
            "runs to the end of the outgoing track (or, for a picked track, to the pick). The next "
            "track expects a different rate; a same-rate track is simply handed over and none of this "
            "happens. The controls here are the same ones as in Settings; a click on a label that "
            "names one lights it.");
    }
    //: The visualizer's introduction, before any load time has been measured.
    return Tr::tr("Every method on one clock, drawn with your settings. Time runs to the end of the outgoing "
                  "track (or, for a picked track, to the pick). The next track expects a different rate; a "
                  "same-rate track is simply handed over and none of this happens. The controls here are the "
                  "same ones as in Settings; a click on a label that names one lights it.");
}

} // namespace

SwitchTimingWindow::SwitchTimingWindow(SwitcherModel &model, SwitcherModel::Clock *clock, QWidget *parent)
    : QWidget(parent), m_model(model), m_view(&model)
{
    //: Title of the Switch Method Visualizer window.
    setWindowTitle(Tr::tr("Switch Method Visualizer"));
    setMinimumSize(720, 520);
    resize(860, 760);
    if (!clock) {
        m_ownClock = SwitcherModel::makeTimerClock();
        clock = m_ownClock.get();
    }
    m_flash = std::make_unique<SettingFlash>(*clock);
    connect(m_flash.get(), &SettingFlash::changed, this, &SwitchTimingWindow::flashChanged);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->viewport()->setAutoFillBackground(false);
    outer->addWidget(m_scroll);

    m_content = new ScrollContent;
    // The content draws nothing of its own: when its height changes (every frame of a panel's
    // change), only what moved is painted again, not the whole window.
    m_content->setAttribute(Qt::WA_StaticContents);
    // W never falls below 560: a narrower window scrolls sideways rather than squeeze the rails.
    m_content->setMinimumWidth(int(SwitchTimingView::contentWidth(0)) + 2 * stackInset);
    auto *stack = new QVBoxLayout(m_content);
    stack->setContentsMargins(stackInset, stackInset, stackInset, stackInset);
    stack->setSpacing(stackSpacing);

    m_intro = new ToneLabel(ToneLabel::Tone::secondary, m_content);
    m_intro->setWordWrap(true);
    stack->addWidget(m_intro);

    m_relockSection = new RelockSection(m_content);
    m_relockSection->setObjectName(QStringLiteral("relock"));
    auto *relock = new QHBoxLayout(m_relockSection);
    const int padding = int(SwitchTimingView::cardPadding);
    relock->setContentsMargins(padding, padding, padding, padding);
    relock->setSpacing(14);
    auto *relockTexts = new QVBoxLayout;
    relockTexts->setSpacing(4);
    //: A setting's name, as Settings has it: how long the DAC takes to relock after a rate change.
    m_relockTitle = new ToneLabel(Tr::tr("Relock Time"), ToneLabel::Tone::primary, m_relockSection);
    //: Under "Relock Time" at the top of the visualizer.
    const QString relockText =
        Tr::tr("How long your DAC takes to relock and unmute after a rate change — the "
               "audible mute. Every method below is timed by it; macOS cannot measure it, "
               "so it is yours to set.");
    m_relockText = new ToneLabel(relockText, ToneLabel::Tone::secondary, m_relockSection);
    m_relockText->setWordWrap(true);
    relockTexts->addWidget(m_relockTitle);
    relockTexts->addWidget(m_relockText);
    relock->addLayout(relockTexts, 1);
    m_relockRow = new SettingRow(SettingKey::relock, m_model, m_relockSection);
    relock->addWidget(m_relockRow, 0, Qt::AlignVCenter);
    stack->addWidget(m_relockSection);

    m_legend = new RailLegend(m_content);
    stack->addWidget(m_legend);

    m_tabs = new TabStrip(m_content);
    m_tabs->onSelect = [this](const QString &id) { showCard(id); };
    stack->addWidget(m_tabs);

    // The panel stands here, made by the first refresh.
    m_slot = new PanelSlot(m_content);
    stack->addWidget(m_slot);
    //: The closing line of the visualizer.
    const QString hint =
        Tr::tr("Pick a method above to see how it's timed; the radio in the card's title is what "
               "chooses it.");
    m_hint = new ToneLabel(hint, ToneLabel::Tone::tertiary, m_content);
    m_hint->setWordWrap(true);
    m_hint->setAlignment(Qt::AlignHCenter);
    stack->addWidget(m_hint);
    stack->addStretch(1);
    m_scroll->setWidget(m_content);
    // setWidget() has the content fill itself with the palette's window colour, which would hide
    // the window's own background (and differ from the panels' knockouts and pictures).
    m_content->setAutoFillBackground(false);

    m_scrollAnimation.setDuration(scrollMs);
    m_scrollAnimation.setEasingCurve(QEasingCurve::InOutCubic);
    connect(&m_scrollAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { m_scroll->verticalScrollBar()->setValue(value.toInt()); });

    m_panelFade.setDuration(panelFadeMs);
    m_panelFade.setEasingCurve(QEasingCurve::InOutQuad);
    m_panelFade.setStartValue(0.0);
    m_panelFade.setEndValue(1.0);
    connect(&m_panelFade, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        const double progress = value.toDouble();
        m_slot->setProgress(progress);
        m_tabs->setChangeProgress(progress);
    });
    connect(&m_panelFade, &QVariantAnimation::finished, this, &SwitchTimingWindow::endPanelFade);

    connect(&m_model, &SwitcherModel::changed, this, &SwitchTimingWindow::refresh);
    refresh();
}

SwitchTimingWindow::~SwitchTimingWindow() = default;

void SwitchTimingWindow::refresh()
{
    // A refresh can set off another (clearing the adopted request announces a change): run them
    // one after the other, never inside each other.
    if (m_refreshing) {
        m_refreshAgain = true;
        return;
    }
    m_refreshing = true;
    do {
        m_view.adoptRequestedTab();
        // What changed so far (the cleared request among it) is read below.
        m_refreshAgain = false;
        const TimingInputs in = m_view.inputs();
        const QList<SwitchTimingView::Card> cards = SwitchTimingView::makeCards(in);
        ++m_builds;
        update(cards, in);
    } while (m_refreshAgain);
    m_refreshing = false;
}

void SwitchTimingWindow::update(const QList<SwitchTimingView::Card> &cards, const TimingInputs &in)
{
    const double scale = m_view.textScale();
    m_intro->setFontIfChanged(FontStyles::systemFont(11.5 * scale));
    const QString intro = introductionText(in.loadStats.has_value());
    if (m_intro->text() != intro)
        m_intro->setText(intro);
    m_relockTitle->setFontIfChanged(FontStyles::systemFont(13.5 * scale, QFont::DemiBold));
    m_relockText->setFontIfChanged(FontStyles::systemFont(11 * scale));
    m_relockRow->refresh(scale);
    m_legend->setTextScale(scale);
    m_hint->setFontIfChanged(FontStyles::systemFont(10.5 * scale));

    const SwitchTimingView::Card &card = cards[SwitchTimingView::shownCardIndex(cards, m_view.shownID, in)];
    const SwitchTimingView::Case &shown = card.cases[SwitchTimingView::shownCaseIndex(card, m_view.fadeCase)];
    m_shownCard = card.id;
    m_shownCase = shown.id;
    CardPanel *panel = m_slot->panel();
    const bool panelChanges = !panel || panel->identity() != CardPanel::identity(card, shown);
    const bool changes = panelChanges || m_tabs->selectedId() != card.id;
    // Only a pick on screen changes smoothly, and it starts from what is shown, a change under way
    // included; any other change ends the one under way and shows at once.
    const bool smoothly = changes && m_picked && isVisible();
    if (changes) {
        m_panelFade.stop();
        if (!smoothly || !panelChanges)
            m_slot->endChange();
        if (!smoothly)
            m_tabs->endChange();
    }
    m_tabs->setCards(cards, card.id, in, scale, smoothly);
    if (panelChanges) {
        panel = new CardPanel(card, shown, m_model, m_slot);
        panel->onSetting = [this](SettingKey key) { flashSetting(key); };
        panel->onChooseCase = [this](const QString &id) { chooseCase(id); };
        m_slot->setPanel(panel, smoothly);
        for (SettingRow *row : panel->settingRows())
            row->setLit(m_flash->flashed() == row->key());
    }
    if (smoothly)
        m_panelFade.start();
    RailParams rail;
    rail.tMin = SwitchTimingView::railStart(in);
    rail.tMax = SwitchTimingView::tailSpan(in);
    rail.textScale = scale;
    rail.laneHeight = 24;
    rail.laneLabelWidth = SwitchTimingView::laneLabelWidth;
    rail.markerStyle = RailMarkerStyle::discs;
    rail.markFont = 10.5;
    rail.bandFont = 10.5;
    panel->refresh(card, shown, SwitchTimingView::group(card, in), in, rail, scale);
}

void SwitchTimingWindow::endPanelFade()
{
    m_slot->endChange();
    m_tabs->endChange();
}

CardPanel *SwitchTimingWindow::cardPanel() const
{
    return m_slot->panel();
}

QWidget *SwitchTimingWindow::fadingPanel() const
{
    return m_slot->fadingPicture();
}

void SwitchTimingWindow::showCard(const QString &cardId)
{
    m_view.shownID = cardId;
    m_picked = true;
    refresh();
    m_picked = false;
}

void SwitchTimingWindow::chooseCase(const QString &caseId)
{
    m_view.fadeCase = caseId;
    m_picked = true;
    refresh();
    m_picked = false;
}

void SwitchTimingWindow::hideEvent(QHideEvent *event)
{
    // Nothing is left half-faded for the next showing.
    m_panelFade.stop();
    endPanelFade();
    QWidget::hideEvent(event);
}

void SwitchTimingWindow::flashSetting(SettingKey key)
{
    if (key == SettingKey::relock) {
        QScrollBar *bar = m_scroll->verticalScrollBar();
        m_scrollAnimation.stop();
        m_scrollAnimation.setStartValue(bar->value());
        m_scrollAnimation.setEndValue(std::clamp(m_relockSection->y(), bar->minimum(), bar->maximum()));
        m_scrollAnimation.start();
    }
    m_flash->flash(key);
}

void SwitchTimingWindow::flashChanged()
{
    const std::optional<SettingKey> lit = m_flash->flashed();
    m_relockRow->setLit(lit == SettingKey::relock);
    if (CardPanel *panel = m_slot->panel()) {
        for (SettingRow *row : panel->settingRows())
            row->setLit(lit == row->key());
    }
}

QList<SettingRow *> SwitchTimingWindow::settingRows(SettingKey key) const
{
    QList<SettingRow *> rows;
    if (key == SettingKey::relock)
        rows.append(m_relockRow);
    if (CardPanel *panel = m_slot->panel()) {
        for (SettingRow *row : panel->settingRows()) {
            if (row->key() == key)
                rows.append(row);
        }
    }
    return rows;
}

void SwitchTimingWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), SystemColors::windowBackground(SystemColors::appearanceOf(this)));
}

void SwitchTimingWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // The tabs hold colours of the appearance they were styled in.
    if (event->type() == QEvent::PaletteChange)
        refresh();
}

QWidget *makeSwitchTimingWindow(SwitcherModel &model)
{
    return new SwitchTimingWindow(model);
}
