// Cost of one schedule tick and of one full save (fake store and the real INI
// file). Run by hand: cmake -B build-bench -DKELVARO_BUILD_BENCH=ON && build-bench/bench/bench_core
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "form/AppContext.h"
#include "platform/fake/FakePlatform.h"
#include "platform/linux/IniSettingsStore.h"
#include "schedule/ScheduleCheck.h"
#include "schedule/SettingsModel.h"

using namespace kelvaro;

static void BM_ScheduleTick(benchmark::State& state) {
    fake::FakePlatform fp;
    form::AppContext ctx(fp.platform());
    fp.clock.set(2026, 12, 9, 8, 0, 0);
    ctx.settings.dailyFlag = "YES";
    schedule::ScheduleHooks hooks;
    hooks.showClock = [&ctx](const std::string& t) { ctx.main.lblTimeNow.setCaption(t); };
    hooks.dayBoxChecked = [&ctx](int d) { return ctx.main.dayBoxes()[d]->checked(); };
    hooks.dailyBoxChecked = [&ctx] { return ctx.main.DailyCheck.checked(); };
    hooks.heldBack = [&ctx] { return ctx.nestedLoops > 0; };
    schedule::ScheduleCheck check(ctx.settings, ctx.schedule, fp.clock, hooks);
    int s = 0;
    for (auto _ : state) {
        fp.clock.time.second = (s++) % 60;
        check.tick();
    }
}
BENCHMARK(BM_ScheduleTick);

static void BM_FullSaveFakeStore(benchmark::State& state) {
    fake::FakePlatform fp;
    form::SettingsModel m;
    for (auto _ : state) {
        schedule::SaveAllSettings(m, fp.store, fp.screen);
        fp.store.saves.clear();
    }
}
BENCHMARK(BM_FullSaveFakeStore);

static void BM_FullSaveIniFile(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "kelvaro-bench-config";
    std::filesystem::create_directories(dir);
    fake::FakeScreen screen;
    linuxp::IniSettingsStore store(dir.string());
    form::SettingsModel m;
    m.drives[0] = "c: [/home/alice]";
    m.logName = "C:\\KELVARO.LOG";
    for (auto _ : state) schedule::SaveAllSettings(m, store, screen);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_FullSaveIniFile);

BENCHMARK_MAIN();
