// draws/refresh.cpp -- one refresh of the draw results, kept to one at a time.
#include "draws/refresh.h"

#include <array>
#include <thread>
#include <utility>
#include <vector>

#include "app/latest_draw.h"
#include "app/main_view.h"
#include "app/shared_state.h"
#include "base/one_run.h"
#include "base/seam.h"
#include "build_config.h"
#include "draws/extraction.h"
#include "draws/history_tables.h"
#include "net/web_fetcher.h"

namespace {

Seam<std::function<std::string(const std::string&)>> pageFetcher;
Seam<std::function<void()>> displayStarter;

std::string FetchResultsPage() {
  if (auto fetcher = pageFetcher.Get()) return fetcher(DrawsEndpointUrl());
  return FetchPageText(DrawsEndpointUrl());
}

void StartLatestDrawDisplay() {
  if (auto starter = displayStarter.Get()) {
    starter();
  } else {
    std::thread(ShowLatestDraw).detach();
  }
}

// At most one refresh in the whole program; one asked for meanwhile runs once more after.
OneRunAtATime refreshRuns;

void RunOneRefresh() {
  StartLatestDrawDisplay();

  MainView& view = View();
  view.SetButtonEnabled(Control::按钮_个位大小, false);
  view.SetButtonEnabled(Control::按钮_十位大小, false);
  view.SetButtonEnabled(Control::按钮_个位单双, false);
  view.SetButtonEnabled(Control::按钮_十位单双, false);

  const std::string cleaned = RemoveDigitSeparators(FetchResultsPage());
  std::vector<std::string> ids = ExtractPeriodIds(cleaned);
  const std::vector<std::string> matches = FindNumberMatches(cleaned);
  std::vector<std::string> numbers(matches.size());

  ClearHistoryTables();
  if (ids.size() == matches.size()) {
    for (std::size_t k = 0; k < matches.size(); ++k) {
      // Bytes 2 to 6 of the seven-byte match '>' d d d d d '<'.
      const std::string& match = matches[k];
      const std::array<std::string, 5> digits = {match.substr(1, 1), match.substr(2, 1),
                                                 match.substr(3, 1), match.substr(4, 1),
                                                 match.substr(5, 1)};
      numbers[k] = match.substr(1, 5);
      FillHistoryRow(static_cast<int>(k) + 1, ids[k], digits);
    }
  }

  StoreDrawHistory(DrawHistory{std::move(ids), std::move(numbers)});
  dataReady = true;
  FinishRefresh();
}

}  // namespace

void RefreshCycle() {
  refreshRuns.Run(RunOneRefresh);
}

std::string DrawsEndpointUrl() {
  return std::string(build_config::kDrawsBaseUrl) +
         "/ajaxHTTP/gamedraw/GetOpenNumber.aspx?sPass=7D3E0C9A61F2B84E5A0D7C3F916E2B48"
         "&idMode=8&iType=2&iCount=1";
}

void SetPageFetcherForTest(std::function<std::string(const std::string& url)> fetcher) {
  pageFetcher.Set(std::move(fetcher));
}

void SetDisplayStarterForTest(std::function<void()> starter) {
  displayStarter.Set(std::move(starter));
}
