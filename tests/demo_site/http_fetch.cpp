// libcurl client used by the local site's tests.
#include "tests/demo_site/http_fetch.h"

#include <memory>

namespace lumeno::demo::testing {
namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

size_t AppendBody(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

size_t AppendHeader(char* data, size_t size, size_t count, void* user) {
    auto* block = static_cast<std::string*>(user);
    const std::string line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0) block->clear();  // keep only the last response's block
    block->append(line);
    return size * count;
}

}  // namespace

FetchResult Fetch(const std::string& url, const FetchOptions& options) {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    FetchResult result;
    if (!initialised) return result;
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) return result;
    CURL* h = easy.get();
    std::unique_ptr<curl_slist, ListDeleter> headers;
    for (const std::string& line : options.headers) {
        headers.reset(curl_slist_append(headers.release(), line.c_str()));
    }
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, options.timeoutMs);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, 2000L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(h, CURLOPT_PROXY, options.proxy.c_str());
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, options.followRedirects ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &result.body);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, AppendHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &result.headerBlock);
    if (headers) curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    if (options.hasBody) {
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, options.postBody.data());
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, static_cast<long>(options.postBody.size()));
    }
    if (!options.method.empty()) curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, options.method.c_str());
    if (!options.userPassword.empty()) {
        curl_easy_setopt(h, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
        curl_easy_setopt(h, CURLOPT_USERPWD, options.userPassword.c_str());
    }
    result.code = curl_easy_perform(h);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.status);
    curl_easy_getinfo(h, CURLINFO_REDIRECT_COUNT, &result.redirects);
    curl_easy_getinfo(h, CURLINFO_TOTAL_TIME, &result.seconds);
    return result;
}

}  // namespace lumeno::demo::testing
