#include "CompanionProcess.h"
#include "LinkTestSupport.h"

#include <QFile>
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

class WithCompanion : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_GT(fixture.rows.size(), 100) << "the fixture could not be read";
        port = startOnAFreePort([this](quint16 candidate) {
            link = std::make_unique<SwitcherLink>(candidate, dir.path());
            link->onLearnedRates = [this](const LearnedRates &r) { libraries.append(r); };
            link->start();
            return listeningPort(*link) == candidate;
        });
        ASSERT_NE(port, 0) << "no port to listen on";
        ASSERT_EQ(listeningPort(*link), port);
        companion = std::make_unique<CompanionProcess>(port, true);
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
    quint16 port = 0;
    std::unique_ptr<SwitcherLink> link;
    std::unique_ptr<CompanionProcess> companion;
    QList<LearnedRates> libraries;
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
