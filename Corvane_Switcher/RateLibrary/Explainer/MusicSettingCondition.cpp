#include "MusicSettingCondition.h"

#include "ExplainerStyle.h"
#include "ExplainerTexts.h"
#include "RateLibrary/RateLibraryCard.h"

#include <QLabel>
#include <QVBoxLayout>

MusicSettingCondition::MusicSettingCondition(QWidget *parent) : QWidget(parent)
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(3);
    stack->addWidget(RateLibrary::sectionLabel(RateLibrary::musicSettingHeading(), this));
    m_value = new QLabel(this);
    m_value->setFont(ExplainerStyle::valueFont());
    m_value->setTextFormat(Qt::PlainText);
    stack->addWidget(m_value);
    m_sentence = ExplainerStyle::sentenceLabel(this);
    stack->addWidget(m_sentence);
}

void MusicSettingCondition::showSetting(const std::optional<SwitcherProtocol::MusicQuality> &quality)
{
    m_value->setText(RateLibrary::musicSettingValue(quality));
    m_sentence->setText(RateLibrary::musicSettingSentence(quality));
}

QString MusicSettingCondition::value() const
{
    return m_value->text();
}

QString MusicSettingCondition::sentence() const
{
    return m_sentence->text();
}
