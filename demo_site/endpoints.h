// Answers of the local site: listing pages, pictures, and the fault and test endpoints listed in
// demo_site.h. Works from the request as recorded, so absolute-form targets are answered like
// their path.
#pragma once

#include <cstdint>
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

// The value of the first parameter called `name`, empty when there is none.
std::string Param(const QueryList& query, const std::string& name);
// A non-negative integer parameter, `fallback` when absent or not a number, at most `limit`.
std::uint64_t Number(const QueryList& query, const std::string& name, std::uint64_t fallback,
                     std::uint64_t limit);

struct EndpointContext {
    const SiteCatalog& catalog;
    // Waits `ms` milliseconds; returns false at once when the site is stopping.
    std::function<bool(int ms)> pause;
    // Ends the connection without an answer (used when a stall is cut short by a stop).
    std::function<void()> abortConnection;
    // Writes bytes straight onto the connection, for answers whose framing httplib would not
    // produce; false once the connection is gone. The answer then ends with abortConnection.
    std::function<bool(const std::string& bytes)> writeRaw;
    // SiteOptions::hostileListings / hostilePictures: the hostile mode every listing page or
    // every picture is answered with ("" for none).
    std::string hostileListings;
    std::string hostilePictures;
};

// Fills `res` for `request`; `query` is the part of the target after '?', undecoded.
void Respond(const RecordedRequest& request, const std::string& query, EndpointContext& context,
             httplib::Response& res);

}  // namespace lumeno::demo
