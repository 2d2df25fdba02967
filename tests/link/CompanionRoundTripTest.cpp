#include "CompanionProcess.h"
#include "LinkTestSupport.h"
#include "RateLibraryFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <memory>

namespace {

using SwitcherProtocol::LearnedRates;

LearnedRates fixtureLibrary()
{
    QFile file(CompanionProcess::defaultLibrary());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    auto decoded = LearnedRates::fromJson(QJsonDocument::fromJson(file.readAll()).object());
    return decoded ? *decoded.value : LearnedRates{};
}

const LearnedRates::Row *findRow(const LearnedRates &library, const QString &id, const QString &tier)
{
    for (const auto &row : library.rows) {
        if (row.id == id && row.tier == tier)
            return &row;
    }
    return nullptr;
}

// Sends a file as the engine does: slices of raw bytes, each base64-encoded on its own.
void sendImport(SwitcherLink &link, const QByteArray &file, const QString &mode, qsizetype slice = 100)
{
    for (qsizetype from = 0; from < file.size() || from == 0; from += slice) {
        const QByteArray bytes = file.mid(from, slice);
        link.sendRateLibraryImport(
            {QString::fromLatin1(bytes.toBase64()), from == 0, from + slice >= file.size(), mode});
    }
}

class WithCompanion : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture = fixtureLibrary();
        ASSERT_GT(fixture.rows.size(), 100) << "the fixture could not be read";
        port = freePort();
        link = std::make_unique<SwitcherLink>(port, dir.path());
        link->onLearnedRates = [this](const LearnedRates &r) { libraries.append(r); };
        link->onRateLibraryImported = [this](const SwitcherProtocol::RateLibraryImported &r) {
            imports.append(r);
        };
        link->onLocalFilesResult = [this](const SwitcherProtocol::LocalFilesResult &r) { scans.append(r); };
        link->onRateLibraryFile = [this](const SwitcherProtocol::RateLibraryFile &r) { files.append(r); };
        link->start();
        ASSERT_EQ(listeningPort(*link), port);
        CompanionProcess::Options options;
        options.port = port;
        options.log = true;
        companion = std::make_unique<CompanionProcess>(options);
        ASSERT_TRUE(companion->start()) << companion->errorText().toStdString();
        ASSERT_EVENTUALLY(link->isPeer());
    }

    void TearDown() override
    {
        if (HasFailure() && companion)
            std::fprintf(stderr, "%s", qPrintable(companion->standardError()));
        link.reset();
        if (companion)
            EXPECT_TRUE(companion->waitForFinished()) << "the companion should leave when the switcher goes";
    }

    QTemporaryDir dir;
    LearnedRates fixture;
    quint16 port = 0;
    std::unique_ptr<SwitcherLink> link;
    std::unique_ptr<CompanionProcess> companion;
    QList<LearnedRates> libraries;
    QList<SwitcherProtocol::RateLibraryImported> imports;
    QList<SwitcherProtocol::LocalFilesResult> scans;
    QList<SwitcherProtocol::RateLibraryFile> files;
};

} // namespace

TEST_F(WithCompanion, aSubscriptionServesTheLibraryAndEveryChangeAfterIt)
{
    link->sendLearnedRatesRequest({true});
    ASSERT_EVENTUALLY(libraries.size() == 1);
    EXPECT_EQ(libraries[0], fixture);
    ASSERT_TRUE(fixture.nowPlayingID);

    // Pin an unpinned row: the next library shows the pin and remembers the learned rate.
    const auto unpinned =
        std::find_if(fixture.rows.begin(), fixture.rows.end(), [](const auto &r) { return !r.pinned; });
    ASSERT_NE(unpinned, fixture.rows.end());
    link->sendPinLearnedRate(
        {unpinned->id, unpinned->tier, 192000, unpinned->title, unpinned->artist, unpinned->album});
    ASSERT_EVENTUALLY(libraries.size() == 2);
    const auto *pinned = findRow(libraries[1], unpinned->id, unpinned->tier);
    ASSERT_NE(pinned, nullptr);
    EXPECT_TRUE(pinned->pinned);
    EXPECT_EQ(pinned->rate, 192000);
    EXPECT_EQ(pinned->learnedRate, unpinned->rate);
    EXPECT_EQ(libraries[1].rows.size(), fixture.rows.size());

    // Unpin returns it to what was learned.
    link->sendUnpinLearnedRate({unpinned->id, unpinned->tier});
    ASSERT_EVENTUALLY(libraries.size() == 3);
    EXPECT_EQ(*findRow(libraries[2], unpinned->id, unpinned->tier), *unpinned);

    // The notice goes when dismissed; forgetting a row removes it.
    link->sendDismissRateLibraryNotice();
    link->sendForgetLearnedRate({unpinned->id, unpinned->tier});
    ASSERT_EVENTUALLY(libraries.size() == 5);
    EXPECT_FALSE(libraries[3].notice);
    EXPECT_EQ(findRow(libraries[4], unpinned->id, unpinned->tier), nullptr);

    // Unsubscribed, changes are made but not announced.
    link->sendLearnedRatesRequest({false});
    link->sendResetStore();
    link->sendRateLibraryExport({"backup"});
    ASSERT_EVENTUALLY(files.size() == 1);
    EXPECT_EQ(libraries.size(), 5);
    link->sendLearnedRatesRequest({true});
    ASSERT_EVENTUALLY(libraries.size() == 6);
    EXPECT_TRUE(libraries[5].rows.isEmpty());
}

TEST_F(WithCompanion, anImportIsAnsweredOnceAndAppliedOnlyWhenAsked)
{
    const LearnedRates::Row &known = fixture.rows.at(0);
    const auto changeable =
        std::find_if(fixture.rows.begin(), fixture.rows.end(), [](const auto &r) { return !r.pinned; });
    QJsonObject changed = changeable->toJson();
    changed.insert("rate", changeable->rate == 48000 ? 44100 : 48000);
    QJsonObject fresh = known.toJson();
    fresh.insert("id", "NEW0000000000001");
    fresh.insert("tier", "hires");
    fresh.insert("rate", 176400);
    QJsonObject silly = fresh;
    silly.insert("id", "NEW0000000000002");
    silly.insert("rate", 4000);
    const QJsonObject file{
        {"rows", QJsonArray{known.toJson(), changed, fresh, silly}},
        {"outputs", QJsonArray{QJsonObject{{"deviceUID", "AppleUSBAudioEngine:New:DAC:1:1"}}}},
        {"appVersion", "3.2"},
        {"writtenAt", "2026-11-20T08:00:00.000Z"}};
    const QByteArray json = QJsonDocument(file).toJson(QJsonDocument::Compact);
    // The backup file as the switcher writes it, and in qCompress's layout (a size prefix).
    const QByteArray backup = RateLibraryFile::encode(json);
    ASSERT_TRUE(backup.startsWith("CORVANERATES\x01"));
    const QByteArray prefixed = QByteArray("CORVANERATES") + char(1) + qCompress(json);

    link->sendLearnedRatesRequest({true});
    ASSERT_EVENTUALLY(libraries.size() == 1);

    sendImport(*link, backup, "dryRun");
    sendImport(*link, prefixed, "dryRun", 7);
    ASSERT_EVENTUALLY(imports.size() == 2);
    for (const auto &preview : imports) {
        EXPECT_EQ(preview.mode, "dryRun");
        EXPECT_TRUE(preview.ok);
        EXPECT_EQ(preview.fileVersion, 1);
        EXPECT_EQ(preview.appVersion, "3.2");
        EXPECT_EQ(
            std::tuple(preview.newCount, preview.updated, preview.known, preview.skipped, preview.outputsNew),
            std::tuple(1, 1, 1, 1, 1));
    }
    imports.clear();

    sendImport(*link, json, "apply", 64);
    ASSERT_EVENTUALLY(imports.size() == 1 && libraries.size() == 2);
    EXPECT_TRUE(imports[0].ok);
    EXPECT_EQ(imports[0].newCount, 1);
    ASSERT_NE(findRow(libraries[1], "NEW0000000000001", "hires"), nullptr);
    EXPECT_EQ(findRow(libraries[1], "NEW0000000000001", "hires")->source, "imported");
    EXPECT_EQ(libraries[1].rows.size(), fixture.rows.size() + 1);

    sendImport(*link, QByteArray("CORVANERATES") + char(1) + "not compressed at all", "apply");
    sendImport(*link, QByteArray("CORVANERATES") + char(9) + qCompress(json), "dryRun");
    ASSERT_EVENTUALLY(imports.size() == 3);
    EXPECT_FALSE(imports[1].ok);
    EXPECT_TRUE(imports[1].refusal && !imports[1].refusal->isEmpty());
    EXPECT_FALSE(imports[2].ok);
    EXPECT_EQ(libraries.size(), 2); // a refused import changes nothing
}

TEST_F(WithCompanion, aLocalFileScanAndAnExportAreAnswered)
{
    const LearnedRates::Row &known = fixture.rows.at(3);
    using SwitcherProtocol::LocalFileRow;
    link->sendLocalFiles({{LocalFileRow{known.id, known.title, known.artist, known.album, 96000},
                           LocalFileRow{"FFFFFFFFFFFFFFF0", QStringLiteral("Elsewhere"), {}, {}, 44100}},
                          false});
    link->sendLocalFiles({{LocalFileRow{"FFFFFFFFFFFFFFF1", {}, {}, {}, 48000}}, true});
    ASSERT_EVENTUALLY(scans.size() == 1);
    EXPECT_EQ(scans[0], (SwitcherProtocol::LocalFilesResult{3, 1, 2, 1}));

    link->sendRateLibraryExport({"share"});
    link->sendRateLibraryExport({"backup"});
    ASSERT_EVENTUALLY(files.size() == 2);
    for (const auto &file : files) {
        ASSERT_TRUE(file.ok);
        ASSERT_TRUE(file.data);
        const QJsonObject exported =
            QJsonDocument::fromJson(QByteArray::fromBase64(file.data->toLatin1())).object();
        const auto decoded = LearnedRates::fromJson(exported);
        ASSERT_TRUE(decoded) << decoded.error.text().toStdString();
        if (file.flavour == "share") {
            EXPECT_GT(decoded.value->rows.size(), 0);
            EXPECT_LT(decoded.value->rows.size(), fixture.rows.size());
            for (const auto &row : decoded.value->rows)
                EXPECT_GT(row.confirmations, 0);
        } else {
            // The scan added the local file's own row.
            EXPECT_EQ(decoded.value->rows.size(), fixture.rows.size() + 1);
        }
    }
}

TEST(CompanionStartup, theCompanionFindsTheSwitcherThroughThePortFile)
{
    // Started first, it waits for the port file of the data folder the test main set up.
    CompanionProcess::Options options;
    options.port = 0;
    CompanionProcess companion(options);
    ASSERT_TRUE(companion.start()) << companion.errorText().toStdString();

    SwitcherLink link(freePort());
    QList<LearnedRates> libraries;
    link.onLearnedRates = [&](const LearnedRates &r) { libraries.append(r); };
    link.start();
    ASSERT_TRUE(listeningPort(link));
    ASSERT_EVENTUALLY(link.isPeer());
    link.sendLearnedRatesRequest({true});
    ASSERT_EVENTUALLY(libraries.size() == 1);
    EXPECT_EQ(libraries[0].rows.size(), fixtureLibrary().rows.size());

    link.stop();
    EXPECT_TRUE(companion.waitForFinished());
    EXPECT_EQ(companion.process().exitCode(), 0);
}
