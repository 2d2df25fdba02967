#pragma once

#include "LearnedRatesView.h"

#include <QWidget>

class QLabel;

namespace RateLibrary {

struct EmptyStateText {
    QString title;
    QString message;
};
// The texts of the middle region when it shows no table.
EmptyStateText emptyStateText(MiddleRegion region);

} // namespace RateLibrary

// A title over a short message, centred in all the room it gets.
class EmptyStateView final : public QWidget {
    Q_OBJECT
public:
    explicit EmptyStateView(QWidget *parent = nullptr);
    void setTexts(const RateLibrary::EmptyStateText &text);
    QString title() const;
    QString message() const;

private:
    QLabel *m_title = nullptr;
    QLabel *m_message = nullptr;
};
