#include "FakePlatform.h"

void FakeMusicApp::scanLocalFiles(std::function<void(ScanResult)> completion)
{
    ++scans;
    if (!running) {
        completion(QStringLiteral("Music.app isn't running"));
        return;
    }
    if (holdScans) {
        m_held.append(std::move(completion));
        return;
    }
    completion(scanResult);
}

void FakeMusicApp::finishScans()
{
    const auto held = std::exchange(m_held, {});
    for (const auto &completion : held)
        completion(scanResult);
}

std::optional<FilePanels::ExportChoice> FakeFilePanels::chooseRateLibraryExport(const QString &suggestedName)
{
    suggestedNames.append(suggestedName);
    if (whileOpen)
        whileOpen();
    return exportChoice;
}

std::optional<QString> FakeFilePanels::chooseRateLibraryImport()
{
    if (whileOpen)
        whileOpen();
    return importChoice;
}

std::optional<QString> FakeFilePanels::chooseCsvDestination(const QString &suggestedName)
{
    suggestedNames.append(suggestedName);
    return csvChoice;
}

OutputDevice FakePlatform::device(const QString &uid, const QList<double> &rates, const QString &name)
{
    OutputDevice device;
    device.objectID = 1;
    device.uid = uid;
    device.name = name;
    device.nominalSampleRate = rates.isEmpty() ? 0 : rates.first();
    for (const double rate : rates)
        device.availableSampleRates.append({rate, rate});
    return device;
}
