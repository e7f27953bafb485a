// The options that travel with a URL into WebRequest, in call order, with their defaults.
#pragma once

#include "http/request_headers.h"
#include "util/text_types.h"

namespace lumeno {

// The twenty optional inputs and outputs of WebRequest. Output pointers are the caller's
// variables (null: the value is computed and discarded). Only the three flags tell "omitted"
// from a given value: omitted they count as 1, given they count as they are, 0 included.
struct RequestOptions {
    int method = 0;
    Text bodyText;
    Text* cookies = nullptr;          // in/out CookieJar; null = omitted (= empty)
    Text* returnedCookies = nullptr;  // out; null = discarded
    Text headers;
    Text* returnedHeaders = nullptr;
    bool disableRedirects = false;
    Text serverUser, serverPassword, proxy, proxyUser, proxyPassword;
    int timeoutSeconds = 0;
    Text* returnedLocation = nullptr;
    Text* statusText = nullptr;
    ByteSet* responseBytes = nullptr;
    int mergeCookies = 1;  // the three flags count as 1 when omitted
    int addDefaultHeaders = 1;
    ByteSet bodyBytes;
    int normaliseHeaderNames = 1;
};

}  // namespace lumeno
