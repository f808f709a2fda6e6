// Electronic records: checking a long trail (1,000,000 entries: the target
// is 2 s) and a sign-in's password hash (between 0.2 and 1 s: bearable for a
// user, slow for somebody guessing). QUILLET_BENCH_ENTRIES sets the trail's
// length.
#include "audit/records.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace quillet;
using namespace quillet::audit;

qint64 entries() {
    const qint64 n = qEnvironmentVariableIntValue("QUILLET_BENCH_ENTRIES");
    return n > 0 ? n : 1'000'000;
}

void BM_CheckTrail(benchmark::State& state) {
    QTemporaryDir dir;
    archive::ArchiveFailure f;
    auto a = archive::openArchive(dir.filePath("a.sqlite"), f);
    QString error;
    const ChainKey key = *createKey(dir.path(), error);
    qint64 now = 1'800'000'000;
    Records records(*a, key,
                    {QStringLiteral("pc"), [&now] { return ++now; }, [] { return QString(); }, testPasswordCost()});
    records.switchOn({QStringLiteral("admin"), QStringLiteral("admin"), Role::Admin}, QStringLiteral("admin-pass1"));
    std::vector<AuditEntry> batch;
    for (qint64 i = 2; i < entries(); ++i) {
        batch.push_back({0,
                         0,
                         {},
                         QStringLiteral("op"),
                         QLatin1String(action::kReadout),
                         QStringLiteral("A 005-012, B 005-012"),
                         {},
                         QStringLiteral("sha256:7d55fe572f6fc943e1945fcdcc08592333fe59a0bd6ad9335b5330225daabb73 "
                                        "/data/r%1.ql6")
                             .arg(i),
                         {},
                         {}});
        if (batch.size() == 100'000) records.record(std::exchange(batch, {}));
    }
    records.record(std::move(batch));
    for (auto _ : state) {
        const ChainCheck c = records.check();
        if (!c) state.SkipWithError("the chain does not hold");
        benchmark::DoNotOptimize(c.entries);
        state.counters["entries"] = double(c.entries);
    }
}
BENCHMARK(BM_CheckTrail)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SignInHash(benchmark::State& state) {
    const QByteArray hash = hashPassword(QStringLiteral("op-pass123"), programPasswordCost());
    for (auto _ : state) benchmark::DoNotOptimize(passwordMatches(hash, QStringLiteral("op-pass123")));
}
BENCHMARK(BM_SignInHash)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
