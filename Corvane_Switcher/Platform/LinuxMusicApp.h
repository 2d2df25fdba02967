#pragma once

#include "PlatformServices.h"
#include "StandInFile.h"

#include <QDateTime>
#include <QJsonObject>

// Music.app on Linux: it never runs, so its quality can't be read and a scan fails with
// "Music.app isn't running". For the demo and black-box tests the file "MusicApp.json" in the
// data folder can stand in for it:
//   {"running": true,
//    "quality": {"lossless": true, "tier": 2, "hiRes": true, "atmos": "auto"},
//    "scan": [{"id": "…", "title": "…", "artist": "…", "album": "…", "rate": 96000}, …],
//    "scanError": "text",      (instead of "scan": the scan fails with this text)
//    "processTap": true}
// The file is read again whenever it changes. One that can't be used (not a regular file, over
// StandInFile's bound, not a JSON object) leaves Music.app not running.
class LinuxMusicApp final : public MusicApp {
public:
    // `fixturePath` empty: "MusicApp.json" in the data folder.
    explicit LinuxMusicApp(QString fixturePath = {});

    bool isRunning() override;
    std::optional<SwitcherProtocol::MusicQuality> qualitySetting() override;
    void scanLocalFiles(std::function<void(ScanResult)> completion) override;
    bool processTapSupported() override;

private:
    const QJsonObject &fixture();

    StandInFile m_file;
    QJsonObject m_fixture;
    bool m_read = false;
    QDateTime m_readModified;
    qint64 m_readSize = -1;
};
