#include "RateLibraryCard.h"

#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"

#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace RateLibrary {

namespace {

class Card final : public QFrame {
public:
    explicit Card(QWidget *parent) : QFrame(parent) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QPainterPath path;
        path.addRoundedRect(shape, 8, 8);
        painter.fillPath(path, SystemColors::withOpacity(SystemColors::controlBackground(), 0.6));
        painter.setPen(QPen(SystemColors::separator(), 1));
        painter.drawPath(path);
    }
};

} // namespace

QFrame *card(QWidget *content, QWidget *parent)
{
    auto *frame = new Card(parent);
    frame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addWidget(content, 0, Qt::AlignLeft);
    return frame;
}

QLabel *sectionLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(QLocale().toUpper(text), parent);
    QFont font = FontStyles::systemFont(10, QFont::Medium);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, SystemColors::secondaryLabel());
    label->setPalette(palette);
    return label;
}

} // namespace RateLibrary
