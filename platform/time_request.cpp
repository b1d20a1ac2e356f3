// platform/time_request.cpp -- the Date header request on libcurl.
#include "platform/time_request.h"

#include <curl/curl.h>

#include <memory>

#include "base/seam.h"

namespace {

Seam<std::function<std::string(const std::string&)>> requestSeam;

struct EasyHandleCloser {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyHandleCloser>;

void ApplyOptions(CURL* handle, const std::string& url) {
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);          // HEAD
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);  // the Date of the first answer
  // The program takes nothing from its environment, proxy variables included.
  curl_easy_setopt(handle, CURLOPT_PROXY, "");
  // Signals would disturb the window's thread, which makes this request.
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, kTimeRequestConnectLimitMs);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, kTimeRequestStallLimitMs / 1000);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, kTimeRequestTotalLimitMs);
}

std::string SendAndReadDate(const std::string& url) {
  EasyHandle handle(curl_easy_init());
  if (!handle) return {};
  ApplyOptions(handle.get(), url);
  if (curl_easy_perform(handle.get()) != CURLE_OK) return {};
  curl_header* date = nullptr;
  // Header names match without regard to case; the value comes trimmed.
  if (curl_easy_header(handle.get(), "Date", 0, CURLH_HEADER, -1, &date) != CURLHE_OK) {
    return {};
  }
  return date->value ? std::string(date->value) : std::string();
}

}  // namespace

std::string RequestDateHeader(const std::string& url) {
  if (auto seam = requestSeam.Get()) return seam(url);
  return SendAndReadDate(url);
}

void SetDateRequestForTest(std::function<std::string(const std::string& url)> request) {
  requestSeam.Set(std::move(request));
}
