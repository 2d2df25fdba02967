#pragma once

#include "RailTypes.h"
#include "SettingLinks.h"

#include <QFont>
#include <QList>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>

// How a rail is drawn, beside what it draws (`RailSpec`): its time range and sizes. Font sizes
// are points before the text scale.
struct RailParams {
    double tMin = -5.6;
    double tMax = 2.6;
    double textScale = 1.0;
    double laneHeight = 24;
    double laneLabelWidth = 96;
    RailMarkerStyle markerStyle = RailMarkerStyle::discs;
    double markFont = 10.5;
    double bandFont = 10.5;
    bool operator==(const RailParams &) const = default;
};

// The fonts a rail draws with, from its parameters.
struct RailFonts {
    QFont band;        // band labels
    QFont compactBand; // a band label that fits only a little smaller
    QFont lane;        // "Music.app", "Output rate"
    QFont disc;        // the numbers in the discs
    QFont label;       // span labels and the zero line's caption
    static RailFonts make(const RailParams &params);
};

// Where every part of a rail goes in a given rectangle: what paint draws, what a click or a
// tooltip finds, and what tests measure.
struct RailLayout {
    struct Band {
        QRectF rect;
        RailFill fill = RailFill::none;
        QString label; // in full
        QString text;  // as shown: the label, shortened, or nothing where it can't fit
        QRectF textRect;
        bool compact = false; // drawn in the smaller band font
        std::optional<double> fadeX;
    };
    struct Mark {
        int index = 0;  // in the rail's list of marks
        int number = 0; // the step's number
        QRectF disc;
        double x = 0; // the mark's time on the lanes
        bool strong = false;
        std::optional<SettingKey> setting;
        std::optional<RailColor> color;
        QString label;
    };
    struct Span {
        int index = 0;
        double x0 = 0;
        double x1 = 0;
        double y = 0; // the bracket's line
        QRectF labelRect;
        QString label; // in full
        QString text;  // as shown
        RailColor color = RailColor::primary;
        std::optional<SettingKey> setting;
    };
    // Something a click or a tooltip can land on.
    struct Hit {
        enum class Kind { band, mark, span } kind = Kind::band;
        int item = 0; // in bands, marks or spans
        QRectF area;
        std::optional<SettingKey> setting;
    };

    QRectF musicLane;
    QRectF outputLane;
    QRectF musicLabelRect;
    QRectF outputLabelRect;
    QString musicLabel;
    QString outputLabel;
    QList<Band> bands; // the music lane's, then the output lane's
    QList<Mark> marks; // in step order
    QList<Span> spans;
    std::optional<double> zeroX;
    QRectF zeroLabelRect;
    QString zeroText;
    double zeroTop = 0;
    double height = 0;

    // The topmost thing at `point`: a mark's disc, a span's label, else a band.
    std::optional<Hit> hitAt(const QPointF &point) const;
    // The tooltip at `point`; empty when there is nothing more to say than what shows.
    QString toolTipAt(const QPointF &point, QRectF *area = nullptr) const;
    // What the keyboard can reach: the marks and span labels that carry a setting, in step order
    // and then left to right.
    QList<Hit> keyedTargets() const;
};

// One two-lane timeline: the Music.app lane over the output-rate lane, numbered discs for the
// marks above them and labelled brackets for the spans below, all painted from one `RailSpec`.
// A click on a mark or span label that carries a setting calls `onSetting`.
class TimelineRail final : public SettingLinksWidget {
    Q_OBJECT
public:
    explicit TimelineRail(QWidget *parent = nullptr);

    void setSpec(const RailSpec &spec, const RailParams &params);
    const RailSpec &spec() const { return m_spec; }
    const RailParams &params() const { return m_params; }
    // The colour drawn behind labels that sit on lines: the card's background.
    void setKnockout(const QColor &color);

    // The layout at the widget's current size.
    const RailLayout &currentLayout() const;
    static RailLayout layout(const RailSpec &spec, const RailParams &params, const QRectF &rect,
                             const RailFonts &fonts);

    // A numbered disc as the rail and the step list draw it.
    static void paintDisc(QPainter &painter, const QRectF &disc, int number, bool strong, bool linked,
                          bool hovered, const QFont &font, const QColor &background,
                          SystemColors::Appearance appearance, const std::optional<QColor> &color = {});

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    QList<Link> links() const override;
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // A span's number among the links' items (the marks' are their indices).
    static int spanItem(int span) { return -1 - span; }
    void dropLayout();

    RailSpec m_spec;
    RailParams m_params;
    RailFonts m_fonts;
    QColor m_knockout;
    mutable std::optional<RailLayout> m_layout;
};
