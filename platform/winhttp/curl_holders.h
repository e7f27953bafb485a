// Move-only owners of the libcurl handles the WinHTTP layer uses: easy, multi, share, header list.
#pragma once

#include <curl/curl.h>

#include <memory>

namespace lumeno::platform {

struct CurlEasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct CurlMultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct CurlShareDeleter {
    void operator()(CURLSH* share) const { curl_share_cleanup(share); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct CurlUrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlMulti = std::unique_ptr<CURLM, CurlMultiDeleter>;
using CurlShare = std::unique_ptr<CURLSH, CurlShareDeleter>;
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;
using CurlUrl = std::unique_ptr<CURLU, CurlUrlDeleter>;

}  // namespace lumeno::platform
