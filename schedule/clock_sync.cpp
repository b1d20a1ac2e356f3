// schedule/clock_sync.cpp -- setting the clock from a web server's Date header.
#include "schedule/clock_sync.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "app/main_view.h"
#include "base/seam.h"
#include "base/text.h"
#include "build_config.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/time_request.h"

namespace {

constexpr long long kFirstYear = 2009;
constexpr long long kLastYear = 5000;

// Month names exactly as the Date header writes them, with the month text they become.
constexpr std::array<std::pair<const char*, const char*>, 12> kMonths = {{
    {"Jan", "01-"},
    {"Feb", "02-"},
    {"Mar", "03-"},
    {"Apr", "04-"},
    {"May", "05-"},
    {"Jun", "06-"},
    {"Jul", "07-"},
    {"Aug", "08-"},
    {"Sep", "09-"},
    {"Oct", "10-"},
    {"Nov", "11-"},
    {"Dec", "12-"},
}};

Seam<std::string> hostSeam;

std::string TimeHost() {
  std::string host = hostSeam.Get();
  return host.empty() ? std::string(build_config::kTimeHost) : host;
}

const char* MonthText(const std::string& name) {
  for (const auto& [month, text] : kMonths) {
    if (name == month) return text;
  }
  return nullptr;
}

}  // namespace

bool ParseHttpDate(const std::string& value, DateTime& result) {
  const std::vector<std::string> pieces = SplitText(value, " ");
  if (pieces.size() != 6 || pieces[5] != "GMT") return false;
  const long long year = TextToInt(pieces[3]);
  if (year < kFirstYear || year > kLastYear) return false;
  const char* monthText = MonthText(pieces[2]);
  if (!monthText) return false;
  const long long day = TextToInt(pieces[1]);
  if (day < 1 || day > 31) return false;

  const std::string text = pieces[3] + "-" + monthText + pieces[1] + " " + pieces[4];
  // A time or day of month that does not exist still counts as read, as the year 100,
  // which no clock accepts: the caller then reports that the clock could not be set.
  result = ParseDateTimeText(text).value_or(*MakeDateTime(100, 1, 1, 0, 0, 0));
  return true;
}

bool SyncClockFromWeb() {
  const std::string url = "http://" + TimeHost() + "/123.123";
  const std::uint32_t sent = TickCount();
  const std::string date = RequestDateHeader(url);
  if (date.empty()) return false;
  DateTime serverTime;
  if (!ParseHttpDate(date, serverTime)) return false;
  // Unsigned subtraction: a wrap of the counter between the readings does not matter.
  const std::uint32_t elapsed = TickCount() - sent;

  const DateTime lotteryTime =
      AddSeconds(AddHours(serverTime, kLotteryUtcOffsetHours), elapsed / 1000);
  if (!SetLotteryTime(lotteryTime)) {
    View().ShowMessage(Gbk("时间修改失败，请检查你是否有足够的权限修改本机时间！"),
                       kMessageStyleError, Gbk("错误"));
  }
  return true;
}

void SetTimeHostForTest(std::string host) {
  hostSeam.Set(std::move(host));
}
