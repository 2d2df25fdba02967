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
    const auto it = std::find_if(library.rows.begin(), library.rows.end(),
                                 [&](const auto &row) { return row.id == id && row.tier == tier; });
    return it == library.rows.end() ? nullptr : &*it;
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
        ASSERT_GT(fixture.rows.size(), 100) << "the fixture could not be read";
        link->onLearnedRates = [this](const LearnedRates &r) { libraries.append(r); };
        link->onRateLibraryImported = [this](const auto &r) { imports.append(r); };
        link->start();
        CompanionProcess::Options options;
        options.port = port;
        options.log = true;
        companion = std::make_unique<CompanionProcess>(options);
        ASSERT_TRUE(companion->start()) << companion->errorText().toStdString();
        ASSERT_EVENTUALLY(link->isPeer());
        link->sendLearnedRatesRequest({true});
        ASSERT_EVENTUALLY(libraries.size() == 1);
    }

    void TearDown() override
    {
        if (HasFailure() && companion)
            std::fprintf(stderr, "%s", qPrintable(companion->standardError()));
        link.reset();
        if (companion) {
            EXPECT_TRUE(companion->waitForFinished()) << "the companion should leave when the switcher goes";
        }
    }

    QTemporaryDir dir;
    LearnedRates fixture = fixtureLibrary();
    quint16 port = freePort();
    std::unique_ptr<SwitcherLink> link = std::make_unique<SwitcherLink>(port, dir.path());
    std::unique_ptr<CompanionProcess> companion;
    QList<LearnedRates> libraries;
    QList<SwitcherProtocol::RateLibraryImported> imports;
};

} // namespace

TEST_F(WithCompanion, aSubscriptionServesTheLibraryAndAPinServesItAnew)
{
    EXPECT_EQ(libraries[0], fixture);
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
}

TEST_F(WithCompanion, aBackupFileImportIsPreviewedThenApplied)
{
    QJsonObject fresh = fixture.rows.at(0).toJson();
    fresh.insert("id", "NEW0000000000001");
    fresh.insert("tier", "hires");
    fresh.insert("rate", 176400);
    const QJsonObject file{{"rows", QJsonArray{fixture.rows.at(0).toJson(), fresh}},
                           {"outputs", QJsonArray{}}};
    const QByteArray backup = RateLibraryFile::encode(QJsonDocument(file).toJson(QJsonDocument::Compact));

    sendImport(*link, backup, "dryRun");
    ASSERT_EVENTUALLY(imports.size() == 1);
    EXPECT_TRUE(imports[0].ok);
    EXPECT_EQ(std::tuple(imports[0].newCount, imports[0].known), std::tuple(1, 1));

    sendImport(*link, QByteArray("CORVANERATES") + char(1) + "not compressed at all", "apply");
    sendImport(*link, backup, "apply", 7);
    ASSERT_EVENTUALLY(imports.size() == 3 && libraries.size() == 2);
    EXPECT_FALSE(imports[1].ok);
    EXPECT_TRUE(imports[2].ok);
    ASSERT_NE(findRow(libraries[1], "NEW0000000000001", "hires"), nullptr);
    EXPECT_EQ(libraries[1].rows.size(), fixture.rows.size() + 1);
}

TEST(CompanionStartup, theCompanionFindsTheSwitcherThroughThePortFile)
{
    // Started first, it waits for the port file of the data folder the test main set up.
    CompanionProcess companion(CompanionProcess::Options{});
    ASSERT_TRUE(companion.start()) << companion.errorText().toStdString();
    SwitcherLink link(freePort());
    QList<LearnedRates> libraries;
    link.onLearnedRates = [&](const LearnedRates &r) { libraries.append(r); };
    link.start();
    ASSERT_EVENTUALLY(link.isPeer());
    link.sendLearnedRatesRequest({true});
    ASSERT_EVENTUALLY(libraries.size() == 1);
    link.stop();
    EXPECT_TRUE(companion.waitForFinished());
    EXPECT_EQ(companion.process().exitCode(), 0);
}
