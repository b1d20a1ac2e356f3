// draws/refresh.h -- fetching the draw results and storing the draw history.
#pragma once

#include <functional>
#include <string>

// Brings the draw results up to date; runs to completion on the calling thread. At most
// one refresh runs at a time in the whole program: a call made while one runs (on another
// thread, or nested on the same thread while a plan run lets events run) neither waits nor
// runs beside it. It is remembered, and the running refresh runs once more when it ends,
// however many calls came in meanwhile.
void RefreshCycle();

// The address of the draw-results endpoint: the build's base address, the path and query.
std::string DrawsEndpointUrl();

// Test seams. SetPageFetcherForTest replaces FetchPageText for the refresh; the display
// starter replaces "start ShowLatestDraw on a detached thread". An empty function restores
// the real one.
void SetPageFetcherForTest(std::function<std::string(const std::string& url)> fetcher);
void SetDisplayStarterForTest(std::function<void()> starter);
