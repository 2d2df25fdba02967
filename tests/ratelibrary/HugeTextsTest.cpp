// Texts of millions of characters where the Rate Library window shows a line of them (a row's
// title, artist and album, the notice, an import warning, a play's title, an output's name): what
// is laid out is a bounded start of the text, elided as the whole text would be and never
// splitting a surrogate pair; the window keeps its size; the search still reads the whole text.

#include "CompanionAnswers.h"
#include "ExplainerFixtures.h"
#include "HugeText.h"
#include "WindowTestSupport.h"

#include "Common/ElidingLabel.h"
#include "Common/ShownText.h"
#include "Platform/FontStyles.h"
#include "RateLibrary/Explainer/LatestPlayStrip.h"
#include "RateLibrary/Explainer/OutputCondition.h"
#include "RateLibrary/Explainer/PredictionExplainer.h"
#include "RateLibrary/Explainer/RecentPlaysTable.h"
#include "RateLibrary/Explainer/TextSymbolButton.h"
#include "RateLibrary/FooterBar.h"
#include "RateLibrary/ImportPreviewSheet.h"

#include <QAbstractItemDelegate>
#include <QLabel>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableView>

using namespace RateLibrary;
using namespace RateLibraryWindowTest;
using ShownText::lineLength;

namespace {

constexpr qsizetype hugeLength = 3'000'000;

// `length` characters of words (some not ASCII, one outside the BMP), starting with `first` and
// ending with `last`.
QString hugeText(const QString &first, qsizetype length = hugeLength, const QString &last = {})
{
    return hugeTextOf(QStringLiteral("Blue Moon Café Müller 東京 \U0001F3B5 Night Song "), first, length,
                      last);
}

// Shown from `text`: a start of it (cut whole) followed by "…", no longer than a line shows.
::testing::AssertionResult isBoundedStartOf(const QString &shown, const QString &text,
                                            qsizetype length = lineLength)
{
    if (shown.size() > length + 1)
        return ::testing::AssertionFailure() << shown.size() << " characters shown";
    if (!shown.endsWith(QChar(0x2026)))
        return ::testing::AssertionFailure() << "no \"…\" where the text goes on";
    const QString kept = shown.chopped(1);
    if (!text.startsWith(kept))
        return ::testing::AssertionFailure() << "not the text's start";
    if (!kept.isEmpty() && kept.back().isHighSurrogate())
        return ::testing::AssertionFailure() << "a surrogate pair split";
    return ::testing::AssertionSuccess();
}

void settle()
{
    for (int round = 0; round < 4; ++round)
        QCoreApplication::processEvents();
}

} // namespace

TEST(ShownText, aLongTextIsCutOnAGraphemeBoundaryAndNeverInsideASurrogatePair)
{
    using ShownText::bounded;
    const QString exact(lineLength, u'a');
    EXPECT_EQ(bounded(QStringLiteral("Blue Moon")), "Blue Moon");
    EXPECT_EQ(bounded(exact), exact);
    EXPECT_EQ(bounded(exact + u'b'), exact + QChar(0x2026));

    // A pair of surrogates (one note, two UTF-16 units) across the cut at either parity.
    const QString note = QStringLiteral("\U0001F3B5");
    for (int offset = 0; offset < 2; ++offset) {
        QString text(offset, u'x');
        while (text.size() < lineLength + 10)
            text += note;
        const QString shown = bounded(text);
        EXPECT_TRUE(isBoundedStartOf(shown, text)) << offset;
        EXPECT_GE(shown.size(), lineLength) << "at most the pair is left out";
    }
    // A letter and its combining accent across the cut stay together.
    const QString accented = QString(lineLength - 1, u'x') + QStringLiteral("e\u0301") + QString(10, u'y');
    EXPECT_EQ(bounded(accented), QString(lineLength - 1, u'x') + QChar(0x2026));
    // A flag (two regional indicators) across the cut stays whole.
    const QString flag = QStringLiteral("\U0001F1E6\U0001F1FA");
    const QString flagged = QString(lineLength - 2, u'x') + flag + QString(10, u'y');
    EXPECT_EQ(bounded(flagged), QString(lineLength - 2, u'x') + QChar(0x2026));
    // One cluster longer than any line is cut between code points.
    const QString marks = QStringLiteral("a") + QString(lineLength + 100, QChar(0x0301));
    EXPECT_EQ(bounded(marks), marks.left(lineLength) + QChar(0x2026));

    // Eliding at the start or in the middle keeps the end.
    const QString text = QStringLiteral("Start ") + QString(2 * lineLength, u'm') + QStringLiteral(" End");
    EXPECT_TRUE(bounded(text, lineLength, Qt::ElideLeft).endsWith(" End"));
    EXPECT_TRUE(bounded(text, lineLength, Qt::ElideLeft).startsWith(QChar(0x2026)));
    EXPECT_LE(bounded(text, lineLength, Qt::ElideLeft).size(), lineLength + 1);
    const QString middle = bounded(text, lineLength, Qt::ElideMiddle);
    EXPECT_TRUE(middle.startsWith("Start ") && middle.endsWith(" End") && middle.contains(QChar(0x2026)));
    EXPECT_LE(middle.size(), lineLength + 1);
}

// What a line shows of a title of three million characters is what it shows of the title's
// first twenty thousand: the same as eliding the whole title, at any width.
TEST(ShownText, elidingAHugeTitleShowsWhatElidingItWholeShows)
{
    const QString title = hugeText(QStringLiteral("Title"));
    for (const QFont &font : {FontStyles::body(), FontStyles::caption()}) {
        const QFontMetrics metrics(font);
        const QFontMetricsF fractional(font);
        for (int width : {0, 40, 230, 1200, 5000}) {
            const QString whole = metrics.elidedText(title.left(20000), Qt::ElideRight, width);
            EXPECT_EQ(ShownText::elided(metrics, title, width), whole) << width;
            EXPECT_EQ(ShownText::elided(fractional, title, width),
                      fractional.elidedText(title.left(20000), Qt::ElideRight, width))
                << width;
        }
        EXPECT_EQ(ShownText::advance(metrics, QStringLiteral("Blue")), metrics.horizontalAdvance("Blue"));
    }
}

// A companion sends a row whose title, artist and album, and a notice, are three million
// characters long, and the attached output is named by as many: each shows as a line of it, the
// window keeps its least size, and a search finds the row by the last word of its title.
TEST(RateLibraryHugeTexts, aCompanionsHugeTextsShowAsALineOfThemAndTheWindowKeepsItsSize)
{
    ExplainerFixtures::setHistoryExpanded(false);
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    const QString name = hugeText(QStringLiteral("DAC"));
    o.h.platform.outputDevices.device = FakePlatform::device(QStringLiteral("dac"), {44100, 48000}, name);
    o.h.model->pollPlatform();

    SwitcherProtocol::LearnedRates library = fixtureLibrary();
    SwitcherProtocol::LearnedRates::Row row = library.rows.first();
    row.id = QStringLiteral("huge");
    row.title = hugeText(QStringLiteral("Title"), hugeLength, QStringLiteral(" Zyzzyva"));
    row.artist = hugeText(QStringLiteral("Artist"));
    row.album = hugeText(QStringLiteral("Album"));
    library.rows.append(row);
    library.notice = hugeText(QStringLiteral("Notice"));
    o.peer.send(QStringLiteral("learnedRates"), library.toJson());
    ASSERT_TRUE(eventually([&] { return o.tableRowOf(QStringLiteral("huge|") + row.tier) >= 0; }, 30000));
    settle();

    // The table: the album's cell shows a line of it; the track cell's title and artist are
    // painted from the same bounded start (ShownText's tests).
    const int tableRow = o.tableRowOf(QStringLiteral("huge|") + row.tier);
    const QModelIndex album = w.tableModel()->index(tableRow, 1);
    auto *albumCell = qobject_cast<QStyledItemDelegate *>(w.table()->itemDelegateForIndex(album));
    ASSERT_NE(albumCell, nullptr);
    EXPECT_TRUE(isBoundedStartOf(albumCell->displayText(album.data(), QLocale()), *row.album));

    // The footer: two lines of the notice, and a line of it as hover help.
    FooterBar &footer = *w.footerBar();
    ASSERT_TRUE(footer.showsNotice());
    EXPECT_EQ(footer.noticeLines().size(), 2);
    EXPECT_TRUE(library.notice->startsWith(footer.noticeLines().first()));
    EXPECT_TRUE(isBoundedStartOf(footer.noticeHelp(), *library.notice));

    // The output's name: the menu's label asks for no more than the window has.
    OutputCondition &condition = *w.explainer()->outputCondition();
    TextSymbolButton &label = *condition.outputMenuButton();
    ASSERT_TRUE(label.isVisible());
    EXPECT_TRUE(isBoundedStartOf(label.accessibleName(), name));
    EXPECT_LE(w.minimumSizeHint().width(), LearnedRatesWindow::minimumWindowSize.width());
    EXPECT_LE(condition.mapTo(&w, QPoint(condition.width(), 0)).x(), w.width()) << "the card fits the window";
    EXPECT_LE(label.geometry().right(), condition.width());
    saveScreenshot(w, "learned-huge-texts.png");

    // The search reads the whole title.
    w.filterBar()->searchField()->setText(QStringLiteral("zyzzyva"));
    ASSERT_EQ(w.tableModel()->rowCount(), 1);
    EXPECT_EQ(w.tableModel()->rowAt(0)->id, "huge");
}

// The only output the switcher knows is named by three million characters: a line of it shows
// as plain text, and the window keeps its size.
TEST(RateLibraryHugeTexts, aHugeNameOfTheOnlyOutputShowsALineOfIt)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    SwitcherProtocol::LearnedRates library = fixtureLibrary();
    library.outputs.clear();
    o.peer.send(QStringLiteral("learnedRates"), library.toJson());
    const QString name = hugeText(QStringLiteral("DAC"));
    o.h.platform.outputDevices.device = FakePlatform::device(QStringLiteral("dac"), {44100, 48000}, name);
    o.h.model->pollPlatform();
    OutputCondition &condition = *o.window->explainer()->outputCondition();
    ASSERT_TRUE(eventually([&] { return condition.state().control.kind == OutputControl::Kind::name; }));
    settle();
    EXPECT_EQ(condition.state().control.label.size(), hugeLength);
    EXPECT_LE(condition.outputName()->text().size(), lineLength + 1);
    EXPECT_TRUE(
        isBoundedStartOf(condition.outputName()->text(), name, condition.outputName()->text().size()));
    EXPECT_LE(o.window->minimumSizeHint().width(), LearnedRatesWindow::minimumWindowSize.width());
}

// A dry run whose note and warning are three million characters long: the sheet shows a
// paragraph of each and fits a screen.
TEST(RateLibraryHugeTexts, aHugeImportWarningShowsAParagraphOfItInASheetThatFitsTheScreen)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    SwitcherProtocol::RateLibraryImported answer = importAnswer(QStringLiteral("dryRun"));
    answer.note = hugeText(QStringLiteral("Note"));
    answer.warning = hugeText(QStringLiteral("Warning"));
    ASSERT_TRUE(o.previewImport(QStringLiteral("Friends.corvanerates"), answer));
    ImportPreviewSheet *sheet = o.window->importPreviewSheet();
    ASSERT_TRUE(sheet && sheet->isVisible());
    int shown = 0;
    for (const QLabel *label : sheet->findChildren<QLabel *>()) {
        for (const QString &text : {*answer.note, *answer.warning}) {
            if (!label->text().isEmpty() && text.startsWith(label->text().chopped(1))) {
                EXPECT_TRUE(isBoundedStartOf(label->text(), text, ShownText::paragraphLength));
                ++shown;
            }
        }
    }
    EXPECT_EQ(shown, 2) << "the note and the warning";
    EXPECT_LE(sheet->height(), 800);
    saveScreenshot(*sheet, "learned-import-huge-warning.png");
}

// A play whose title and note are three million characters long: the latest play line and the
// recent plays show a line of them.
TEST(RateLibraryHugeTexts, aHugeTitleOfTheLatestPlayShowsALineOfIt)
{
    ExplainerFixtures::setHistoryExpanded(true);
    OpenWindow o;
    ASSERT_TRUE(o.open());
    PlaybackHistory::Entry play =
        HistoryFixtures::play(hugeText(QStringLiteral("Newest")), hugeText(QStringLiteral("Artist")),
                              std::nullopt, std::nullopt, 44100);
    play.note = hugeText(QStringLiteral("Note"));
    o.h.switcher().history().append(play);
    PredictionExplainer &explainer = *o.window->explainer();
    ASSERT_TRUE(eventually([&] { return explainer.recentPlays()->rows()->plays().size() == 1; }));
    settle();
    const QString summary = explainer.latestPlay()->summary();
    EXPECT_LE(summary.size(), 2 * lineLength + 200) << "a line of the title and of the note";
    EXPECT_TRUE(summary.startsWith(play.title.left(lineLength - 1)));
    EXPECT_TRUE(summary.contains(play.note->left(100)));
    saveScreenshot(*o.window, "learned-huge-latest-play.png");
}
