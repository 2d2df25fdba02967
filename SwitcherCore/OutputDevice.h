#pragma once

#include <QList>
#include <QString>

#include <optional>

// A closed range of sample rates in Hz, as the device reports it.
struct SampleRateRange {
    double minimum = 0;
    double maximum = 0;
    bool operator==(const SampleRateRange &) const = default;
};

// The default output device as the system reports it.
struct OutputDevice {
    quint32 objectID = 0;
    std::optional<QString> uid;
    std::optional<QString> name;
    double nominalSampleRate = 0;
    QList<SampleRateRange> availableSampleRates;

    // True when some range holds the rate, both ends included.
    bool supports(double rate) const;

    bool operator==(const OutputDevice &) const = default;
};
