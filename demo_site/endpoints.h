// Answers of the local site: listing pages, pictures, and the fault and test endpoints listed in
// demo_site.h. Works from the request as recorded, so absolute-form targets are answered like
// their path.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <httplib.h>

#include "demo_site/demo_site.h"
#include "demo_site/site_catalog.h"

namespace lumeno::demo {

using QueryList = std::vector<std::pair<std::string, std::string>>;

// Splits "a=1&b=%20x" into ordered, URL-decoded pairs ('+' counts as a space).
QueryList ParseQuery(const std::string& query);

struct EndpointContext {
    const SiteCatalog& catalog;
    // Waits `ms` milliseconds; returns false at once when the site is stopping.
    std::function<bool(int ms)> pause;
    // Ends the connection without an answer (used when a stall is cut short by a stop).
    std::function<void()> abortConnection;
};

// Fills `res` for `request`; `query` is the part of the target after '?', undecoded.
void Respond(const RecordedRequest& request, const std::string& query, EndpointContext& context,
             httplib::Response& res);

}  // namespace lumeno::demo
