// The libcurl reference fetches: plain easy handles with a write callback into memory.
#include "bench/http/libcurl_reference.h"

#include <curl/curl.h>

#include <cstdlib>
#include <cstring>

namespace lumeno::bench {
namespace {

std::size_t AppendToString(char* data, std::size_t size, std::size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

std::size_t AppendToMemory(char* data, std::size_t size, std::size_t count, void* out) {
    auto* body = static_cast<MemoryBody*>(out);
    const std::size_t n = size * count;
    char* grown = static_cast<char*>(std::realloc(body->data, body->size + n));
    if (grown == nullptr) return 0;
    std::memcpy(grown + body->size, data, n);
    body->data = grown;
    body->size += n;
    return n;
}

// The settings every reference fetch shares: HTTP/1.1, no proxy from the environment.
void Prepare(CURL* easy, const std::string& url) {
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
}

bool Succeeded(CURL* easy, CURLcode code) {
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    return code == CURLE_OK && status == 200;
}

}  // namespace

MemoryBody::~MemoryBody() {
    std::free(data);
}

bool FetchOnNewConnection(const std::string& url, std::string* body,
                          const std::vector<std::string>& headers) {
    CURL* easy = curl_easy_init();
    if (easy == nullptr) return false;
    Prepare(easy, url);
    curl_slist* list = nullptr;
    for (const std::string& line : headers) list = curl_slist_append(list, line.c_str());
    if (list != nullptr) curl_easy_setopt(easy, CURLOPT_HTTPHEADER, list);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &AppendToString);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, body);
    const bool ok = Succeeded(easy, curl_easy_perform(easy));
    curl_easy_cleanup(easy);
    curl_slist_free_all(list);
    return ok;
}

bool FetchIntoMemory(const std::string& url, MemoryBody* body) {
    CURL* easy = curl_easy_init();
    if (easy == nullptr) return false;
    Prepare(easy, url);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &AppendToMemory);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, body);
    const bool ok = Succeeded(easy, curl_easy_perform(easy));
    curl_easy_cleanup(easy);
    return ok;
}

ReusedConnection::ReusedConnection() : easy_(curl_easy_init()) {}

ReusedConnection::~ReusedConnection() {
    curl_easy_cleanup(static_cast<CURL*>(easy_));
}

bool ReusedConnection::Fetch(const std::string& url, std::string* body) {
    CURL* easy = static_cast<CURL*>(easy_);
    if (easy == nullptr) return false;
    Prepare(easy, url);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &AppendToString);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, body);
    return Succeeded(easy, curl_easy_perform(easy));
}

}  // namespace lumeno::bench
