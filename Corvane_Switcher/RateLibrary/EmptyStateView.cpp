#include "EmptyStateView.h"

#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"
#include "RateLibraryTr.h"

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace RateLibrary {

using RateLibraryText::Tr;

EmptyStateText emptyStateText(MiddleRegion region)
{
    switch (region) {
    case MiddleRegion::needsCompanion:
        return {
            Tr::tr("Needs Corvane Mac Remote connected"),
            Tr::tr("The Rate Library lives in Corvane Mac Remote. Open and play through Music.app to pair.")};
    case MiddleRegion::loading:
        return {Tr::tr("Loading…"), Tr::tr("Asking Corvane for its Rate Library.")};
    case MiddleRegion::noMatches:
        return {Tr::tr("No matches"),
                Tr::tr("Nothing matches the filters. \"All settings\" shows every row.")};
    case MiddleRegion::empty:
        return {
            Tr::tr("The Rate Library is empty"),
            Tr::tr("Play a few tracks through Music.app and they appear here. Scan Local Files stores every "
                   "local file's rate at once.")};
    case MiddleRegion::table:
        break;
    }
    return {};
}

} // namespace RateLibrary

EmptyStateView::EmptyStateView(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(6);
    layout->addStretch(1);
    m_title = new QLabel(this);
    m_title->setFont(FontStyles::systemFont(FontStyles::points(FontStyles::title3()), QFont::DemiBold));
    m_title->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_title, 0, Qt::AlignHCenter);
    m_message = new QLabel(this);
    m_message->setFont(FontStyles::callout());
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    QPalette palette = m_message->palette();
    palette.setColor(QPalette::WindowText, SystemColors::secondaryLabel());
    m_message->setPalette(palette);
    layout->addWidget(m_message, 0, Qt::AlignHCenter);
    layout->addStretch(1);
}

void EmptyStateView::setTexts(const RateLibrary::EmptyStateText &text)
{
    m_title->setText(text.title);
    m_message->setText(text.message);
    // Fixed to the width its lines need (at most 380) and the height they then take, so the
    // centring layout neither squeezes nor clips the wrapped lines.
    const int width = std::min(380, m_message->fontMetrics().horizontalAdvance(text.message) + 2);
    m_message->setFixedSize(width, m_message->heightForWidth(width));
}

QString EmptyStateView::title() const
{
    return m_title->text();
}

QString EmptyStateView::message() const
{
    return m_message->text();
}
