#pragma once

// What the table's columns and cells show of one row, as plain texts and values.

#include "LearnedRatesView.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>

namespace RateLibrary {

// Sort keys; texts compare by code point, so U+FFFF (no title) sorts after every BMP title.
QString trackSortKey(const Row &row);
QString albumSortKey(const Row &row);
QString settingSortKey(const Row &row);
QString sourceSortKey(const Row &row);
// Negative, 0 or positive as `a` sorts before, with or after `b` in code point order.
int compareCodePoints(QStringView a, QStringView b);

struct TableColumn {
    const char *title; // untranslated; see columnTitle
    SortKey key;
    int minWidth;
    int idealWidth;
    int maxWidth; // 0: no maximum
};
// The six columns in table order.
const QList<TableColumn> &tableColumns();
QString columnTitle(const TableColumn &column);

// The track cell's first line.
QString trackTitle(const Row &row);

struct SourceBadge {
    enum class Tint { accent, secondary };
    QString text;
    Tint tint = Tint::secondary;
    bool operator==(const SourceBadge &) const = default;
};
SourceBadge sourceBadge(const Row &row);

QString settingCellText(const Row &row);
QString settingCellHelp(const Row &row);

QString rateText(double rate);
QString noOutputsHelp();

// "—" for a row never confirmed, else the confirmation as a relative date ("yesterday").
QString confirmedText(const Row &row, const QDateTime &now, const QLocale &locale = QLocale());
// A relative date in the named presentation with wide units: "now", "4 minutes ago",
// "23 hours ago", "yesterday", "3 days ago", "last week", ... in the largest whole unit of the
// time elapsed (months and years by the local calendar).
QString relativeDateText(const QDateTime &date, const QDateTime &now, const QLocale &locale = QLocale());

} // namespace RateLibrary
