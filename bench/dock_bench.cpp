// The dock under the pointer: one re-layout of a full row of 240 items per
// pointer move (goal: at most 20 µs), and how many windows the window code
// would touch per move with the default settings. Counters per move:
//   pushed   - windows whose picture changes (resized items, plus the bar when its width changes)
//   moved    - item windows that only move, in the same deferred batch
//   relayout - share of moves that needed a re-layout at all

#include <benchmark/benchmark.h>

#include <vector>

#include "dock/RectLayout.h"

namespace {

using namespace qv;
using namespace qv::dock;

RectDockParams FullRow() {
  RectDockParams params;  // defaults: 50 px, 4 wide, at the top
  params.ItemCount = kMaxRectItems;
  params.Screen = {0, 0, 1920, 1080};
  return params;
}

// The pointer sweeping right across a 1920-pixel screen one pixel at a time,
// at a height inside the bar's inner zone, as a hand on a mouse does.
std::vector<Point> Sweep() {
  std::vector<Point> path;
  for (int x = 40; x < 1880; ++x) path.push_back({x, 30});
  return path;
}

void BM_RemagnifyFullRow(benchmark::State& state) {
  const RectDockParams params = FullRow();
  const std::vector<Point> path = Sweep();
  RectLayout layout = Magnify(params, path.front().x);
  std::size_t i = 0;
  for (auto _ : state) {
    layout = Remagnify(params, layout, path[i].x);
    benchmark::DoNotOptimize(layout.Items.data());
    if (++i == path.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RemagnifyFullRow);

// The whole handler: the re-layout decision, the layout and the list of
// windows to push, as the window code runs it on each move.
void BM_TrackAndDiffFullRow(benchmark::State& state) {
  const RectDockParams params = FullRow();
  const std::vector<Point> path = Sweep();
  RectTracking tracking{LayoutRectAtRest(params), 0};
  tracking = TrackRectPointer(params, tracking, path.front());
  std::size_t i = 1;
  double pushed = 0, moved = 0, relayouts = 0, moves = 0;
  for (auto _ : state) {
    const Point pointer = path[i];
    if (++i == path.size()) i = 1;
    ++moves;
    if (!NeedsRelayout(tracking, pointer)) continue;
    ++relayouts;
    const RectTracking next = TrackRectPointer(params, tracking, pointer);
    const RectLayoutChanges changes = DiffRectLayouts(tracking.Layout, next.Layout);
    for (const RectItemChange& change : changes.Items) (change.Resized ? pushed : moved) += 1;
    if (changes.BarResized) pushed += 1;
    tracking = next;
    benchmark::DoNotOptimize(changes.Items.data());
  }
  state.counters["pushed"] = benchmark::Counter(pushed / moves);
  state.counters["moved"] = benchmark::Counter(moved / moves);
  state.counters["relayout"] = benchmark::Counter(relayouts / moves);
}
BENCHMARK(BM_TrackAndDiffFullRow);

// A vertical move inside the inner zone: the decision alone, nothing laid out.
void BM_VerticalMoveCostsNothing(benchmark::State& state) {
  const RectDockParams params = FullRow();
  RectTracking tracking = TrackRectPointer(params, {LayoutRectAtRest(params), 0}, {960, 30});
  int y = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(NeedsRelayout(tracking, {960, 10 + (y++ & 31)}));
  }
}
BENCHMARK(BM_VerticalMoveCostsNothing);

}  // namespace
