#include "OutputCondition.h"

#include "Common/ElidingLabel.h"
#include "Common/ListMenu.h"
#include "Common/ShownText.h"
#include "ExplainerStyle.h"
#include "Platform/FontStyles.h"
#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"
#include "RateLibrary/RateLibraryCard.h"
#include "TextSymbolButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace RateLibrary;

OutputCondition::OutputCondition(QWidget *parent) : QWidget(parent)
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(3);

    auto *header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(sectionLabel(outputHeading(), this), 0, Qt::AlignVCenter);
    header->addStretch(1);
    m_info = new QToolButton(this);
    m_info->setAutoRaise(true);
    m_info->setIcon(Symbols::icon(QStringLiteral("info.circle"), SystemColors::secondaryLabel(), 13));
    m_info->setIconSize(QSize(15, 15));
    m_info->setToolTip(atmosInfoHelp());
    m_info->setAccessibleName(atmosInfoHelp());
    m_info->setCursor(Qt::PointingHandCursor);
    connect(m_info, &QToolButton::clicked, this, &OutputCondition::infoPressed);
    header->addWidget(m_info, 0, Qt::AlignVCenter);
    stack->addLayout(header);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    m_outputMenu = new TextSymbolButton(
        {ExplainerStyle::valueFont(), TextSymbolButton::Tone::primary, 9, TextSymbolButton::Tone::secondary},
        this);
    m_outputMenu->setToolTip(outputMenuHelp());
    connect(m_outputMenu, &QAbstractButton::clicked, this, &OutputCondition::popUpOutputMenu);
    row->addWidget(m_outputMenu, 0, Qt::AlignVCenter);
    // A name wider than the card is cut with "…" rather than widening the window.
    m_outputName = new ElidingLabel(this);
    m_outputName->setFont(ExplainerStyle::valueFont());
    row->addWidget(m_outputName, 0, Qt::AlignVCenter);
    m_answer = new QPushButton(this);
    m_answer->setFont(FontStyles::systemFont(11));
    m_answer->setToolTip(atmosAnswerMenuHelp());
    m_answerMenu = new QMenu(m_answer);
    m_answerMenu->setAccessibleName(atmosPickerLabel());
    connect(m_answerMenu, &QMenu::aboutToShow, this, [this] { fillMenu(m_answerMenu, m_state.answerItems); });
    m_answer->setMenu(m_answerMenu);
    row->addWidget(m_answer, 0, Qt::AlignVCenter);
    row->addStretch(1);
    stack->addLayout(row);

    m_sentence = ExplainerStyle::sentenceLabel(this);
    stack->addWidget(m_sentence);
}

void OutputCondition::showState(State state)
{
    m_state = std::move(state);
    const OutputControl &control = m_state.control;
    const bool menu = control.kind == OutputControl::Kind::menu;
    m_outputMenu->setVisible(menu);
    m_outputName->setVisible(!menu);
    if (menu)
        m_outputMenu->setLabel(control.label, QStringLiteral("chevron.up.chevron.down"));
    else
        m_outputName->setFullText(control.label);
    m_answer->setVisible(m_state.answerShown);
    m_answer->setEnabled(m_state.answerEnabled);
    m_answer->setText(m_state.answerLabel);
    m_sentence->setText(m_state.sentence);
}

QString OutputCondition::sentence() const
{
    return m_sentence->text();
}

void OutputCondition::popUpOutputMenu()
{
    const OutputControl &control = m_state.control;
    const int width = std::max(m_outputMenu->width(), listMenuWidth);
    QMenu *menu = nullptr;
    if (control.choices.size() > menuItemLimit) {
        ListMenu::Entries entries;
        entries.count = control.choices.size();
        entries.text = [choices = control.choices](qsizetype i) { return choices.name(i); };
        entries.checked = control.checked;
        entries.pick = [control](qsizetype i) { control.pick(i); };
        menu = ListMenu::make(std::move(entries), width, this);
    } else {
        // Each name on one line of the menu, cut with "…" when a name is longer than any.
        menu = new QMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        MenuItems items = control.items();
        for (MenuItem &item : items)
            item.title = ShownText::elided(menu->fontMetrics(), item.title, width);
        fillMenu(menu, items);
    }
    menu->setAccessibleName(outputPickerLabel());
    const QPoint corner = layoutDirection() == Qt::RightToLeft ? m_outputMenu->rect().bottomRight()
                                                               : m_outputMenu->rect().bottomLeft();
    ListMenu::popUp(menu, m_outputMenu->mapToGlobal(corner));
}
