// bench/net_bench.cpp -- throughput of the UTF-8 to GBK conversion and the marker search,
// and the latency of fetching a 100 KiB page from a loopback server.
#include <benchmark/benchmark.h>

#include "net/url_text.h"
#include "net/web_fetcher.h"
#include "platform/codepage.h"
#include "tests/support/http_test_server.h"

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// About 1 MiB of a results page's mix: Chinese labels, digits, ASCII markup.
std::string MixedUtf8Text(std::size_t size) {
  const std::string row =
      "<tr><td>第20240101-001期</td><td>开奖号码 1 2 3 4 5</td><td>大小单双</td></tr>\n";
  std::string text;
  while (text.size() < size) text += row;
  return text;
}

void BM_Utf8ToGbk(benchmark::State& state) {
  const std::string utf8 = MixedUtf8Text(kMiB);
  for (auto _ : state) benchmark::DoNotOptimize(Utf8ToGbk(utf8));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * utf8.size()));
}
BENCHMARK(BM_Utf8ToGbk)->Unit(benchmark::kMillisecond);

void BM_TextBetween(benchmark::State& state) {
  // The markers stand at the very end, so every search walks the whole text.
  const std::string gbk = Utf8ToGbkText(MixedUtf8Text(kMiB)) + Gbk("【期号】20240101【结束】");
  for (auto _ : state) {
    benchmark::DoNotOptimize(TextBetween(gbk, Gbk("【期号】"), Gbk("【结束】")));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * gbk.size()));
}
BENCHMARK(BM_TextBetween)->Unit(benchmark::kMillisecond);

void BM_FetchPageText100KiB(benchmark::State& state) {
  HttpTestServer server;
  const std::string page = MixedUtf8Text(100 * 1024).substr(0, 100 * 1024);
  server.Routes().Get("/page", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(page, "text/html; charset=gb2312");
  });
  server.Start();
  const std::string url = server.Url("/page");
  for (auto _ : state) {
    std::string text = FetchPageText(url);
    if (text.size() != page.size()) state.SkipWithError("short page");
  }
}
BENCHMARK(BM_FetchPageText100KiB)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
