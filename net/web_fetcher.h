// net/web_fetcher.h -- one HTTP or HTTPS request, and the page-as-text wrapper.
#pragma once

#include <string>

// GETs the address with every option of the fetcher at its default and returns the body as
// GBK text up to its first zero byte; an empty text on any failure.
std::string FetchPageText(const std::string& url);
