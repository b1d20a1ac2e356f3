// net/web_fetcher.cpp -- placeholder until the fetcher lands: every fetch fails.
#include "net/web_fetcher.h"

std::string FetchPageText(const std::string&) { return {}; }
