// A tiny libcurl client for the local site's tests: one request, the whole answer in memory.
#pragma once

#include <string>
#include <vector>

#include <curl/curl.h>

namespace lumeno::demo::testing {

struct FetchOptions {
    long timeoutMs = 5000;             // cap on the whole transfer
    std::string proxy;                 // "http://127.0.0.1:port" to send absolute-form targets
    std::vector<std::string> headers;  // extra "Name: value" lines, in order
    std::string method;                // empty: GET (POST when postBody is set)
    std::string postBody;
    bool hasBody = false;
    std::string userPassword;  // "user:password" for Basic authentication
    bool followRedirects = false;
};

struct FetchResult {
    CURLcode code = CURLE_FAILED_INIT;
    long status = 0;
    std::string body;
    std::string headerBlock;  // raw header lines of the last response
    long redirects = 0;
    double seconds = 0;
};

FetchResult Fetch(const std::string& url, const FetchOptions& options = {});

}  // namespace lumeno::demo::testing
