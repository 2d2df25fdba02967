#pragma once

// The latest play line: a summary of the newest play and the "History" toggle, on a strip whose
// lower corners turn square while the recent plays hang beneath it.

#include "ExplainerModel.h"
#include "RateLibrary/RateLibraryCard.h"

#include <QWidget>

class LatestPlaySummaryLine;
class TextSymbolButton;

class LatestPlayStrip final : public QWidget {
    Q_OBJECT
public:
    static constexpr int stripHeight = 28;

    explicit LatestPlayStrip(QWidget *parent = nullptr);

    void showSummary(const QString &summary);
    void showExpanded(bool expanded);
    QString summary() const;
    RateLibrary::StripCorners corners() const { return m_corners; }
    TextSymbolButton *historyToggle() const { return m_toggle; }

signals:
    void historyToggled();
    // The pointer came onto the line.
    void entered();

protected:
    void enterEvent(QEnterEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    LatestPlaySummaryLine *m_summary = nullptr;
    TextSymbolButton *m_toggle = nullptr;
    RateLibrary::StripCorners m_corners = RateLibrary::latestStripCorners(false);
    RateLibrary::CardBackground m_background;
};
