// The object transport: one HTTP request through the scriptable request object
// ("WinHttp.WinHttpRequest.5.1"), with the response body returned as bytes.
#pragma once

#include "util/automation.h"
#include "util/text_types.h"

namespace lumeno {

// The options of ObjectWebRequest, in call order. Output pointers are the caller's variables
// (null: computed and discarded). `cookies`, `requestObject`, `credentialTarget` and the three
// flags tell "omitted" apart from every given value through their defaults.
struct ObjectRequestOptions {
    int method = 0;
    Text bodyText;
    Text* cookies = nullptr;          // in/out; null = omitted: no Cookie header, no merge
    Text* returnedCookies = nullptr;  // out
    Text* headers = nullptr;          // in/out; null = omitted (empty)
    Text* returnedHeaders = nullptr;
    int* statusCode = nullptr;
    int disableRedirects = 0;
    ByteSet bodyBytes;
    Text proxy;
    int timeoutSeconds = 0;  // -1: the object's own timeouts; below 1 otherwise: 15 seconds
    Text proxyUser, proxyPassword;
    int credentialTarget = 1;                   // 0 server, 1 proxy; omitted counts as 1
    AutomationObject* requestObject = nullptr;  // null = omitted: a new object
    bool mergeCookies = true, addDefaultHeaders = true, normaliseHeaderNames = true;
};

// Performs one synchronous request on the calling thread and returns the response body.
// Never raises and never shows anything: an object that cannot be made gives empty bytes and
// writes no output; any other failure gives empty bytes, status 0 and empty outputs.
ByteSet ObjectWebRequest(const Text& url, const ObjectRequestOptions& options = {});

// The millisecond value handed to SetTimeouts for a timeoutSeconds other than -1: seconds
// times 1000 from 1 on (capped at the largest int), otherwise 15000.
int ObjectRequestTimeoutMilliseconds(int timeoutSeconds);

// The header text that is applied to the object: `headers` completed with the default lines
// (each preceded by CR LF) when addDefaultHeaders is set, then capitalised when
// normaliseHeaderNames is set.
Text CompleteObjectRequestHeaders(const Text& headers, const Text& url, int method,
                                  bool addDefaultHeaders, bool normaliseHeaderNames);

// True when the response's header text declares a Content-Length larger than the `received`
// bytes of a body that did arrive: the body broke off, and handing it out would pass a cut
// picture off as whole. An answer without a body (HEAD) or without a valid length never counts.
bool ResponseBodyCutShort(const Text& responseHeaders, int received);

}  // namespace lumeno
