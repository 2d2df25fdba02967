#pragma once

// A Rate Library window over a test model, with a loopback companion that records what the
// window sends.

#include "LoopbackPeer.h"
#include "ModelHarness.h"
#include "PictureProbe.h"
#include "RateLibrary/FilterBar.h"
#include "RateLibrary/LearnedRatesTableModel.h"
#include "RateLibrary/LearnedRatesWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace RateLibraryWindowTest {

inline SwitcherProtocol::LearnedRates fixtureLibrary()
{
    QFile file(QStringLiteral(CORVANE_FIXTURES_DIR "/companion-library.json"));
    const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return SwitcherProtocol::LearnedRates::fromJsonText(std::string_view(text.constData(), text.size()))
        .value.value_or(SwitcherProtocol::LearnedRates{});
}

// The fixture library with `count` rows, each its first row under an id of its own and at a rate
// of its own: 44,100 Hz, then on by half a hertz a row.
inline SwitcherProtocol::LearnedRates libraryOfDistinctRates(int count)
{
    SwitcherProtocol::LearnedRates library = fixtureLibrary();
    const SwitcherProtocol::LearnedRates::Row first = library.rows.first();
    library.rows.clear();
    for (int i = 0; i < count; ++i) {
        SwitcherProtocol::LearnedRates::Row row = first;
        row.id = QStringLiteral("r%1").arg(i);
        row.rate = 44100 + 0.5 * i;
        library.rows.append(row);
    }
    return library;
}

// What the window sent since the last call: the link keeps order, so once a marker sent after the
// action has arrived, everything the action sent has arrived too. Subscription requests are left out.
inline QStringList sentSinceLastLook(ModelHarness &h, LoopbackPeer &peer)
{
    h.switcher().dismissRateLibraryNotice();
    if (!peer.waitForType(QStringLiteral("dismissRateLibraryNotice")))
        return {QStringLiteral("<marker lost>")};
    QStringList types;
    for (const auto &envelope : peer.received()) {
        if (envelope.type != u"learnedRatesRequest")
            types.append(envelope.type);
    }
    types.removeLast();
    peer.clearReceived();
    return types;
}

// Saves the picture of `window` into the build folder as screens/`name` for a person to look at.
inline QImage saveScreenshot(QWidget &window, const char *name)
{
    // Wrapped text settles its height over a few rounds of layout.
    for (int round = 0; round < 4; ++round)
        QCoreApplication::processEvents();
    const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/../screens"));
    QDir().mkpath(folder.path());
    const QImage image = PictureProbe::picture(window);
    EXPECT_TRUE(image.save(folder.filePath(QString::fromLatin1(name)))) << name;
    return image;
}

// The room the header leaves its filter bar in a window `width` points wide.
constexpr int filterBarRoom(int width)
{
    return width - 24;
}

// A larger text size, as a user may set, until the filter bar's wide arrangement needs more than
// the window's least width gives it (by a margin) while the narrow one still fits.
inline void enlargeTextPastTheWideFilterBar(LearnedRatesWindow &window)
{
    const int room = filterBarRoom(LearnedRatesWindow::minimumWindowSize.width());
    QFont font = window.font();
    while (window.filterBar()->wideWidth() <= room + 40 && font.pointSizeF() < 40) {
        font.setPointSizeF(font.pointSizeF() + 1);
        window.setFont(font);
        QCoreApplication::processEvents();
    }
}

// The subscribe flag of the last subscription request.
inline bool lastSubscribe(const LoopbackPeer &peer)
{
    const auto requests = peer.receivedOfType(QStringLiteral("learnedRatesRequest"));
    return !requests.isEmpty() && requests.last().payload.value("subscribe").toBool();
}

// The test model with a device that supports 44.1 to 192 kHz, paired with `peer`, and a shown
// window holding the fixture library.
struct OpenWindow {
    ModelHarness h;
    LoopbackPeer peer;
    std::unique_ptr<LearnedRatesWindow> window;

    bool open()
    {
        h.platform.outputDevices.device =
            FakePlatform::device(QStringLiteral("dac"), {44100, 48000, 88200, 96000, 176400, 192000});
        h.model->pollPlatform();
        if (!pair(h, peer))
            return false;
        window = std::make_unique<LearnedRatesWindow>(*h.model);
        window->resize(1200, 760);
        window->show();
        if (!peer.waitForType(QStringLiteral("learnedRatesRequest")))
            return false;
        peer.send(QStringLiteral("learnedRates"), fixtureLibrary().toJson());
        if (!eventually([&] { return h.model->learnedRates().has_value(); }))
            return false;
        peer.clearReceived();
        return true;
    }

    // Chooses a small file called `name` for import and answers its dry run with `answer`; true
    // once the model holds the preview.
    bool previewImport(const QString &name, const SwitcherProtocol::RateLibraryImported &answer)
    {
        if (!writeFile(h.path(name), R"({"rows":[]})"))
            return false;
        const qsizetype sent = peer.receivedOfType(QStringLiteral("rateLibraryImport")).size();
        h.model->previewImport(h.path(name));
        if (!peer.waitForType(QStringLiteral("rateLibraryImport"), int(sent) + 1))
            return false;
        peer.send(QStringLiteral("rateLibraryImported"), answer.toJson());
        return eventually([&] { return h.model->importPreview().has_value(); });
    }

    int tableRowOf(const QString &keyedId) const
    {
        for (int r = 0; r < window->tableModel()->rowCount(); ++r) {
            if (window->tableModel()->keyedIdAt(r) == keyedId)
                return r;
        }
        return -1;
    }
};

} // namespace RateLibraryWindowTest
