// Decoding a 100,000-row "learnedRates" line (about 28 MB) as the link does: the envelope head
// (which reads the rows in the same pass), the payload handed over, then the plausibility sweep.
// The general decoders and the QJsonDocument path are measured beside it for comparison.
// Figures go in bench/README.md.
//
// Peak memory (BenchMemory.h) counts how far resident memory rose above what was already there
// (the line itself), the decoded rows included.

#include "BenchLibrary.h"
#include "BenchMemory.h"
#include "SwitcherProtocol.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <benchmark/benchmark.h>

#include <malloc.h>

using namespace SwitcherProtocol;

namespace {

constexpr int rowCount = 100000;

const Line &line()
{
    static const Line line = libraryLine(makeBenchLibrary(rowCount));
    return line;
}

Decoded<LearnedRates> decodeWithFreshScratch(const Line &l)
{
    JsonScratch scratch;
    return decodeAsTheLinkDoes(l, scratch);
}

// Resident memory added while decoding, the rows kept included, as a multiple of the line.
template <class Decode> void measurePeak(benchmark::State &state, Decode decode)
{
    const BenchMemory::Rise rise = BenchMemory::measureRise([&decode] {
        auto kept = decode();
        benchmark::DoNotOptimize(kept);
        return kept;
    });
    if (rise.peakBytes < 0)
        return;
    const double lineBytes = double(line().bytes.size());
    state.counters["line_MB"] = lineBytes / 1e6;
    state.counters["peak_extra_MB"] = double(rise.peakBytes) / 1e6;
    state.counters["peak_extra_x_line"] = double(rise.peakBytes) / lineBytes;
    state.counters["kept_MB"] = double(rise.keptBytes) / 1e6;
}

// Freeing the previous library leaves 200,000 small blocks that the allocator merges at its
// next large request, about 10-15 ms later on whichever thread asks. `steady` leaves that
// merge inside the timed decode, as the link's worker meets it; otherwise it is done while
// the clock is stopped, so that the figure is the decode alone.
template <class Decode> void decodeLoop(benchmark::State &state, Decode decode, bool steady)
{
    const Line &l = line();
    std::optional<LearnedRates> previous;
    for (auto _ : state) {
        Decoded<LearnedRates> rates = decode(l);
        if (!rates || rates.value->rows.size() != rowCount) {
            state.SkipWithError("decode failed");
            break;
        }
        state.PauseTiming();
        previous = std::move(rates.value);
        previous.reset();
        if (!steady)
            free(malloc(4096)); // a large request merges the freed blocks now
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * l.bytes.size());
}

// One scratch per line: nothing is kept between lines.
void BM_LearnedRatesFastPath(benchmark::State &state)
{
    measurePeak(state, [] { return decodeWithFreshScratch(line()); });
    decodeLoop(state, decodeWithFreshScratch, false);
}
BENCHMARK(BM_LearnedRatesFastPath)->Unit(benchmark::kMillisecond)->UseRealTime();

// The general decoders alone, as a line that the one-pass reader gives up on is read: the
// head's walk, then the payload indexed and walked again.
void BM_LearnedRatesGeneralDecoders(benchmark::State &state)
{
    decodeLoop(
        state,
        [](const Line &l) {
            const Decoded<EnvelopeHead> head = decodeEnvelopeHead(l.view(), l.capacity);
            JsonScratch scratch;
            Decoded<LearnedRates> rates =
                LearnedRates::fromJsonText(head.value->payload, head.value->payloadCapacity, &scratch);
            rates.value->dropImplausibleRows();
            return rates;
        },
        false);
}
BENCHMARK(BM_LearnedRatesGeneralDecoders)->Unit(benchmark::kMillisecond)->UseRealTime();

// As the link's worker meets it, line after line: the previous library's freed blocks are
// merged during the decode.
void BM_LearnedRatesFastPathSteady(benchmark::State &state)
{
    decodeLoop(state, decodeWithFreshScratch, true);
}
BENCHMARK(BM_LearnedRatesFastPathSteady)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same library sent again, as the companion does after every change: the link reads it
// taking the texts that read the same from the library before. Errs unless nearly all are.
void BM_LearnedRatesSentAgain(benchmark::State &state)
{
    const Line &l = line();
    const QList<LearnedRates::Row> before = decodeWithFreshScratch(l).value->rows;
    for (auto _ : state) {
        JsonScratch scratch;
        scratch.shareTextsWith(before);
        Decoded<LearnedRates> rates = decodeAsTheLinkDoes(l, scratch);
        state.PauseTiming();
        qsizetype shared = 0;
        for (qsizetype i = 0; rates && i < rates.value->rows.size(); ++i)
            shared += rates.value->rows.at(i).title->isSharedWith(*before.at(i).title);
        rates = {};
        state.ResumeTiming();
        if (shared != rowCount) {
            state.SkipWithError("titles were not taken from the library before");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * l.bytes.size());
}
BENCHMARK(BM_LearnedRatesSentAgain)->Unit(benchmark::kMillisecond)->UseRealTime();

// A caller that cannot promise the padding: the decoders copy the text first.
void BM_LearnedRatesFastPathUnpadded(benchmark::State &state)
{
    const Line &l = line();
    for (auto _ : state) {
        const Decoded<EnvelopeHead> head = decodeEnvelopeHead(l.view());
        Decoded<LearnedRates> rates = LearnedRates::fromJsonText(head.value->payload);
        benchmark::DoNotOptimize(rates);
    }
    state.SetBytesProcessed(state.iterations() * l.bytes.size());
}
BENCHMARK(BM_LearnedRatesFastPathUnpadded)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EnvelopeHeadOnly(benchmark::State &state)
{
    const Line &l = line();
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeEnvelopeHead(l.view(), l.capacity));
    state.SetBytesProcessed(state.iterations() * l.bytes.size());
}
BENCHMARK(BM_EnvelopeHeadOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same line through QJsonDocument and LearnedRates::fromJson, for comparison.
Decoded<LearnedRates> decodeThroughQJson(const Line &l)
{
    const Decoded<EnvelopeHead> head = decodeEnvelopeHead(l.view(), l.capacity);
    const Decoded<QJsonObject> object = payloadObject(head.value->payload);
    return LearnedRates::fromJson(*object.value);
}

void BM_LearnedRatesQJsonDocument(benchmark::State &state)
{
    const Line &l = line();
    measurePeak(state, [&l] { return decodeThroughQJson(l); });
    for (auto _ : state) {
        Decoded<LearnedRates> rates = decodeThroughQJson(l);
        benchmark::DoNotOptimize(rates);
    }
    state.SetBytesProcessed(state.iterations() * l.bytes.size());
}
BENCHMARK(BM_LearnedRatesQJsonDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

// What stays on the main thread once a worker has decoded: taking over the result (a move)
// and, when the next library replaces it, freeing the old one.
void BM_MainThreadReplaceLibrary(benchmark::State &state)
{
    const Line &l = line();
    std::optional<LearnedRates> current = decodeWithFreshScratch(l).value;
    for (auto _ : state) {
        state.PauseTiming();
        Decoded<LearnedRates> next = decodeWithFreshScratch(l);
        state.ResumeTiming();
        current = std::move(next.value); // frees the previous 100,000 rows
        benchmark::DoNotOptimize(current);
    }
}
BENCHMARK(BM_MainThreadReplaceLibrary)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
