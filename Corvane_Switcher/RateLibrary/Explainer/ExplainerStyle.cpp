#include "ExplainerStyle.h"

#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"

#include <QLabel>

namespace ExplainerStyle {

QFont valueFont()
{
    return FontStyles::systemFont(14, QFont::DemiBold);
}

void setSecondary(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, SystemColors::secondaryLabel(SystemColors::appearanceOf(widget)));
    widget->setPalette(palette);
}

QLabel *sentenceLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setFont(FontStyles::caption());
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeading | Qt::AlignTop);
    setSecondary(label);
    return label;
}

QTextOption textOption(Qt::Alignment alignment, bool wrap)
{
    QTextOption option(alignment);
    option.setTextDirection(Qt::LayoutDirectionAuto);
    option.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::NoWrap);
    return option;
}

} // namespace ExplainerStyle
