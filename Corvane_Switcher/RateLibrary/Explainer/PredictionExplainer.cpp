#include "PredictionExplainer.h"

#include "AtmosInfoPopover.h"
#include "ExplainerModel.h"
#include "LatestPlayStrip.h"
#include "MusicSettingCondition.h"
#include "OutputCondition.h"
#include "PredictionOrder.h"
#include "RateLibrary/RateLibraryCard.h"
#include "RecentPlaysTable.h"
#include "SwitcherModel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QSettings>
#include <QToolButton>
#include <QVBoxLayout>

using namespace RateLibrary;

PredictionExplainer::PredictionExplainer(SwitcherModel &model, LearnedRatesWindowView &view, QWidget *parent)
    : QWidget(parent), m_model(model), m_view(view), m_now([] { return QDateTime::currentDateTime(); })
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    auto *conditions = new QHBoxLayout;
    conditions->setSpacing(10);
    m_musicSetting = new MusicSettingCondition;
    m_output = new OutputCondition;
    conditions->addWidget(card(m_musicSetting, this), 1, Qt::AlignVCenter);
    conditions->addWidget(card(m_output, this), 1, Qt::AlignVCenter);
    column->addLayout(conditions);

    m_order = new PredictionOrder;
    column->addWidget(card(m_order, this));

    // The recent plays hang directly under the latest play line.
    auto *plays = new QVBoxLayout;
    plays->setSpacing(0);
    m_strip = new LatestPlayStrip(this);
    plays->addWidget(m_strip);
    m_recentCard = new CardFrame(this);
    m_recentCard->setShape({0, 6, 0.25});
    auto *recentLayout = new QVBoxLayout(m_recentCard);
    recentLayout->setContentsMargins(0, 0, 0, 0);
    m_recent = new RecentPlaysTable(m_recentCard);
    recentLayout->addWidget(m_recent);
    plays->addWidget(m_recentCard);
    column->addLayout(plays);

    connect(m_output, &OutputCondition::infoPressed, this,
            [this] { setShowAtmosInfo(!m_view.showAtmosInfo); });
    connect(m_strip, &LatestPlayStrip::historyToggled, this, &PredictionExplainer::toggleHistory);
    // The latest play line gives the lit step back to the latest play.
    connect(m_strip, &LatestPlayStrip::entered, this, [this] { setHoveredRowID(std::nullopt); });
    connect(m_recent->rows(), &RecentPlaysRows::rowEntered, this,
            [this](const QUuid &id) { setHoveredRowID(id); });
    connect(m_recent->rows(), &RecentPlaysRows::rowLeft, this,
            [this](const QUuid &id) { setHoveredRowID(hoverAfterLeaving(m_view.hoveredRowID, id)); });
    connect(m_recent, &RecentPlaysTable::showAllPressed, this, &PredictionExplainer::showAllHistory);

    m_toggle.setDuration(toggleAnimationMs);
    m_toggle.setEasingCurve(QEasingCurve::InOutQuad);
    m_toggle.setStartValue(0.0);
    m_toggle.setEndValue(1.0);
    connect(&m_toggle, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        const int full = m_recentCard->sizeHint().height();
        m_recentCard->setMaximumHeight(int(value.toDouble() * full + 0.5));
    });
    connect(&m_toggle, &QVariantAnimation::finished, this, [this] {
        m_recentCard->setMaximumHeight(QWIDGETSIZE_MAX);
        m_recentCard->setVisible(m_view.historyExpanded);
    });
    m_strip->showExpanded(m_view.historyExpanded);
    m_recentCard->setVisible(m_view.historyExpanded);
}

PredictionExplainer::~PredictionExplainer()
{
    if (m_popover)
        m_popover->disconnect(this);
}

QWidget *PredictionExplainer::recentPlaysCard() const
{
    return m_recentCard;
}

void PredictionExplainer::setNow(std::function<QDateTime()> now)
{
    m_now = std::move(now);
    showPlays();
}

void PredictionExplainer::refresh(const LibraryInputs &inputs)
{
    m_inputs = inputs;
    m_musicSetting->showSetting(inputs.musicQuality);
    showOutput();
    showPlays();
}

void PredictionExplainer::showOutput()
{
    const auto &quality = m_inputs.musicQuality;
    const std::optional<QString> uid = chosenOutputUID(m_inputs, m_view);
    const std::optional<Output> chosen = chosenOutput(m_inputs, m_view);
    const std::optional<AtmosAnswer> answer = atmosAnswer(chosen);
    AtmosCommands commands{
        [this](const QString &device, std::optional<bool> atmosOutput) {
            m_model.switcher().setDeviceAtmos(device, atmosOutput);
        },
        [this](const QString &device) { m_model.switcher().resetOutput(device); },
    };
    OutputCondition::State state;
    state.control =
        outputControl(outputChoices(m_inputs), uid, [this](const QString &picked) { chooseOutput(picked); });
    state.answerShown = atmosQuestionApplies(quality) && uid.has_value();
    // Straight from the engine's link: the model's mirror may still say paired.
    state.answerEnabled = m_model.switcher().link().isPeer();
    state.answerLabel = atmosAnswerLabel(answer);
    state.answerItems = atmosAnswerMenu(
        chosen, [this] { return chosenOutputUID(m_inputs, m_view); }, commands);
    state.sentence = atmosAnswerSentence(quality, answer);
    m_output->showState(std::move(state));
}

void PredictionExplainer::showPlays()
{
    const QList<PlayEntry> &history = m_model.history();
    const PlayEntry *latest = latestEntry(history);
    m_strip->showSummary(latestPlaySummary(latest, m_now()));
    m_order->steps()->setLitStep(litStep(history, m_view.hoveredRowID));
    if (m_view.historyExpanded)
        m_recent->showPlays(RateLibrary::recentPlays(history),
                            latest ? std::optional<QUuid>(latest->id) : std::nullopt,
                            hoveredStep(history, m_view.hoveredRowID));
}

void PredictionExplainer::showHover()
{
    const QList<PlayEntry> &history = m_model.history();
    m_order->steps()->setLitStep(litStep(history, m_view.hoveredRowID));
    if (m_view.historyExpanded)
        m_recent->rows()->showHoveredStep(hoveredStep(history, m_view.hoveredRowID));
}

void PredictionExplainer::chooseOutput(const QString &uid)
{
    m_view.deviceUID = uid;
    showOutput();
}

void PredictionExplainer::setShowAtmosInfo(bool show)
{
    if (show == m_view.showAtmosInfo)
        return;
    m_view.showAtmosInfo = show;
    if (!show) {
        if (m_popover && m_popover->isVisible())
            m_popover->hide();
        return;
    }
    if (!m_popover) {
        m_popover = new AtmosInfoPopover(this);
        connect(m_popover, &AtmosInfoPopover::dismissed, this, [this] { setShowAtmosInfo(false); });
    }
    m_popover->popUpBelow(m_output->infoButton());
}

void PredictionExplainer::setHoveredRowID(std::optional<QUuid> id)
{
    if (id == m_view.hoveredRowID)
        return;
    m_view.hoveredRowID = id;
    showHover();
}

void PredictionExplainer::toggleHistory()
{
    m_view.historyExpanded = !m_view.historyExpanded;
    QSettings().setValue(historyExpandedKey, m_view.historyExpanded);
    showExpansion();
}

void PredictionExplainer::showExpansion()
{
    const bool expanded = m_view.historyExpanded;
    m_strip->showExpanded(expanded);
    if (expanded)
        showPlays();
    m_toggle.stop();
    if (!isVisible()) {
        m_recentCard->setMaximumHeight(QWIDGETSIZE_MAX);
        m_recentCard->setVisible(expanded);
        return;
    }
    m_toggle.setDirection(expanded ? QAbstractAnimation::Forward : QAbstractAnimation::Backward);
    if (expanded) {
        m_recentCard->setMaximumHeight(0);
        m_recentCard->setVisible(true);
    }
    m_toggle.start();
}

void PredictionExplainer::showAllHistory()
{
    if (m_view.openWindow)
        m_view.openWindow(QStringLiteral("history"));
}

ExplainerScrollArea::ExplainerScrollArea(PredictionExplainer *explainer, QWidget *parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    viewport()->setAutoFillBackground(false);
    setWidget(explainer);
    explainer->setAutoFillBackground(false);
    explainer->installEventFilter(this);
}

int ExplainerScrollArea::contentHeight(int width) const
{
    const QWidget *content = widget();
    if (!content)
        return 0;
    if (content->hasHeightForWidth() && width > 0)
        return content->heightForWidth(width);
    return content->sizeHint().height();
}

QSize ExplainerScrollArea::sizeHint() const
{
    // The whole explainer at this width, as it would be without a scroll bar.
    const QWidget *content = widget();
    return {content ? content->sizeHint().width() : 0, contentHeight(width() - 2 * frameWidth())};
}

QSize ExplainerScrollArea::minimumSizeHint() const
{
    // Short windows keep room for the table; the explainer scrolls.
    return {0, std::min(contentHeight(width() - 2 * frameWidth()), minimumVisibleHeight)};
}

bool ExplainerScrollArea::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}

void ExplainerScrollArea::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    const int height = contentHeight(width() - 2 * frameWidth());
    if (height != m_lastHeight) {
        m_lastHeight = height;
        updateGeometry();
    }
}
