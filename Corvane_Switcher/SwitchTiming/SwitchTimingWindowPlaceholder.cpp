// Until the visualizer's own view lands, the "timing" scene shows what it is and that its
// drawing is still to come.

#include "WindowFactories.h"

#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitchTiming)
};
} // namespace

QWidget *makeSwitchTimingWindow(SwitcherModel &model)
{
    Q_UNUSED(model)
    auto *root = new QWidget;
    root->setMinimumSize(720, 520);
    auto *layout = new QVBoxLayout(root);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(6);
    layout->addStretch();
    auto *title = new QLabel(Tr::tr("Switch Method Visualizer"));
    title->setFont(FontStyles::systemFont(15, QFont::DemiBold));
    title->setAlignment(Qt::AlignCenter);
    auto *line =
        new QLabel(Tr::tr("The visualizer's timelines are not drawn yet; they come in a later version."));
    line->setFont(FontStyles::callout());
    line->setAlignment(Qt::AlignCenter);
    line->setWordWrap(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, SystemColors::secondaryLabel());
    line->setPalette(palette);
    layout->addWidget(title);
    layout->addWidget(line);
    layout->addStretch();
    return root;
}
