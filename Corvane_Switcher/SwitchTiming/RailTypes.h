#pragma once

#include <QColor>
#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QUuid>

#include "Platform/SystemColors.h"

#include <optional>

// The values a timeline rail is drawn from. The visualizer fills them from the settings; the
// rail views only draw them and report clicks on labels that carry a `SettingKey`.

// One explained setting row; marks, spans and step links carry it.
enum class SettingKey {
    relock,
    listeningWindow,
    threshold,
    minimumQuiet,
    fadeExtend,
    pausePoint,
    delay,
    automatic
};

// Every key, in declaration order.
const QList<SettingKey> &allSettingKeys();
// The raw value is the case name ("listeningWindow").
QString rawValue(SettingKey key);
std::optional<SettingKey> settingKeyFromRawValue(const QString &raw);

inline size_t qHash(SettingKey key, size_t seed = 0) noexcept
{
    return ::qHash(static_cast<int>(key), seed);
}

// The kind of a band. `next` is the next track at the new rate (the "new" fill).
enum class RailFill { old, oldFading, relock, next, none, lost, stub, silence, stubFading, loading };
QString rawValue(RailFill fill);

// A colour the rail resolves against the current appearance: the primary or secondary label
// colour, or the palette's relock colour.
enum class RailColor { primary, secondary, relock };

// The relock colour, one for each appearance; made once and kept.
QColor railRelockColor(SystemColors::Appearance appearance);
QColor railColor(RailColor color, SystemColors::Appearance appearance);

// How marks are drawn; the visualizer uses numbered discs matching the step list.
enum class RailMarkerStyle { discs };

// A filled stretch of one lane.
struct RailBand {
    QUuid id = QUuid::createUuid();
    double from = 0;
    double to = 0;
    RailFill fill = RailFill::none;
    QString label;
    std::optional<double> fadeAt; // where the band's fade-out begins
};

// A point on the rail and one numbered step.
struct RailMark {
    QUuid id = QUuid::createUuid();
    double t = 0;
    QString label;
    bool strong = false; // the decisive step
    std::optional<SettingKey> setting;
    std::optional<RailColor> color;
};

// A labelled bracket under the lanes.
struct RailSpan {
    QUuid id = QUuid::createUuid();
    double from = 0;
    double to = 0;
    QString label;
    RailColor color = RailColor::primary;
    std::optional<SettingKey> setting;
};

// What one rail draws: the Music.app lane, the output-rate lane, the marks and spans, and the
// vertical line at zero with its caption.
struct RailSpec {
    QList<RailBand> music;
    QList<RailBand> output;
    QList<RailMark> marks;
    QList<RailSpan> spans;
    bool zeroLine = true;
    std::optional<QString> zeroLabel;
};

// The marks' indices in time order (ties keep their list order): the order of the numbered steps.
QList<int> stepOrder(const QList<RailMark> &marks);
// Each mark's step number (1 for the earliest), by the mark's index.
QList<int> stepNumbers(const QList<RailMark> &marks);
